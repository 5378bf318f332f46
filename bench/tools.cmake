# Checking a period of 100,000 purchase items.
add_executable(bench_tools ${CMAKE_CURRENT_LIST_DIR}/tools_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_tools PRIVATE vk_tools vk_testsupport benchmark::benchmark)

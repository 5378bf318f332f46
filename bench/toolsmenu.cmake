# Checking a period of 100,000 purchase items.
add_executable(bench_toolsmenu ${CMAKE_CURRENT_LIST_DIR}/toolsmenu_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_toolsmenu PRIVATE vk_toolsmenu vk_testsupport_widgets benchmark::benchmark)

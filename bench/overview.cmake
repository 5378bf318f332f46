# The figures of the quarter's overview over a quarter of 100,000 purchase items.
add_executable(bench_overview ${CMAKE_CURRENT_LIST_DIR}/overview_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_overview PRIVATE vk_overview vk_testsupport_widgets benchmark::benchmark)

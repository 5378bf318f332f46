# Building the sector tree, loading the settlement list and opening the institution editor, on the shipped database.
add_executable(bench_pickers ${CMAKE_CURRENT_LIST_DIR}/pickers_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_pickers PRIVATE vk_institution_widgets vk_testsupport_widgets benchmark::benchmark)

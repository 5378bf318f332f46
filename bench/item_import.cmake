# Importing 10,000 and 99,999 purchase items from a CSV file, and reading a 100 MB one.
add_executable(bench_item_import ${CMAKE_CURRENT_LIST_DIR}/item_import_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_item_import PRIVATE vk_purchase vk_testsupport_widgets benchmark::benchmark)

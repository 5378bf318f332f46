# Importing 10,000 and 100,000 purchase items from a CSV file.
add_executable(bench_item_import ${CMAKE_CURRENT_LIST_DIR}/item_import_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_item_import PRIVATE vk_purchase vk_testsupport benchmark::benchmark)

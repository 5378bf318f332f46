# Opening the purchase editor on a provider with 5,000 items out of 100,000, and adding an item.
add_executable(bench_purchase ${CMAKE_CURRENT_LIST_DIR}/purchase_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_purchase PRIVATE vk_purchase_widgets vk_testsupport_widgets benchmark::benchmark)

# The save run over 1,000 data providers with 100 purchase items each, beside the sqlite3 shell
# writing the same rows as tab-separated text.
add_executable(bench_export_save ${CMAKE_CURRENT_LIST_DIR}/export_save.cpp)
target_link_libraries(bench_export_save PRIVATE vk_app vk_testsupport_widgets benchmark::benchmark)

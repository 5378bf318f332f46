# A backup of a database of 100,000 purchase items, beside the sqlite3 shell's ".backup".
add_executable(bench_backup ${CMAKE_CURRENT_LIST_DIR}/backup_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_backup PRIVATE vk_backup vk_testsupport_widgets benchmark::benchmark)

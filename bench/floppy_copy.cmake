# The copy to the removable medium against cp, both onto a tmpfs (needs root to mount it).
add_executable(bench_floppy_copy ${CMAKE_CURRENT_LIST_DIR}/floppy_copy_bench.cpp)
target_link_libraries(bench_floppy_copy PRIVATE vk_transmission benchmark::benchmark)

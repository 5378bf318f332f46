# Upload and compression throughput: this program's FTP client against curl on the same loopback
# test server, CompressFile against zlib's one-call compress2 on the same input.
add_executable(bench_transmission ${CMAKE_CURRENT_LIST_DIR}/transmission_bench.cpp)
target_link_libraries(bench_transmission PRIVATE vk_ftptestserver ZLIB::ZLIB benchmark::benchmark)

# The send run of 1,000 data providers' report files to the loopback test server, beside the
# connections alone.
add_executable(bench_send_run ${CMAKE_CURRENT_LIST_DIR}/send_run_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_send_run PRIVATE vk_ftptestserver vk_transmission_widgets vk_testsupport_widgets benchmark::benchmark)

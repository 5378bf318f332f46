# Upload and compression throughput: this program's FTP client against curl on the same loopback
# test server, CompressFile against zlib's one-call compress2 on the same input.
add_executable(bench_transmission
    ${CMAKE_CURRENT_LIST_DIR}/transmission_bench.cpp
    ${PROJECT_SOURCE_DIR}/tests/transmission/ftp_test_server.cpp)
target_include_directories(bench_transmission PRIVATE ${PROJECT_SOURCE_DIR}/tests/transmission)
target_compile_definitions(bench_transmission PRIVATE
    VK_FTP_SERVER_SCRIPT="${PROJECT_SOURCE_DIR}/tests/transmission/ftp_server.py")
target_link_libraries(bench_transmission PRIVATE vk_transmission ZLIB::ZLIB benchmark::benchmark)

# Start-up to the main window shown, on the shipped database.
add_executable(bench_app_startup ${CMAKE_CURRENT_LIST_DIR}/app_startup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp)
target_link_libraries(bench_app_startup PRIVATE vk_app vk_testsupport_widgets benchmark::benchmark)
# The command start-up runs a copy of the built program.
target_compile_definitions(bench_app_startup PRIVATE VK_PROGRAM_DIR="${VK_PROGRAM_DIR}")
add_dependencies(bench_app_startup velkor)
# The toolkit's own floor for a command's process.
add_executable(bench_toolkit_floor ${CMAKE_CURRENT_LIST_DIR}/toolkit_floor.cpp)
target_link_libraries(bench_toolkit_floor PRIVATE Qt6::Core Qt6::Sql)
target_compile_definitions(bench_app_startup PRIVATE
    VK_TOOLKIT_FLOOR="$<TARGET_FILE:bench_toolkit_floor>")
add_dependencies(bench_app_startup bench_toolkit_floor)

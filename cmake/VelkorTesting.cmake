# vk_add_test(NAME SOURCES file... LIBS lib...)
# One test executable per test file, run headless by CTest.
function(vk_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} vk_testsupport Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VK_SOURCE_DIR=${PROJECT_SOURCE_DIR};VK_PROGRAM_DIR=${VK_PROGRAM_DIR}")
endfunction()

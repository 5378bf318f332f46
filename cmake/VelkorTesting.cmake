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
    # Nothing of the developer's own settings reaches a test: it has a home folder of its own,
    # and the print system finds neither the per-user (~/.cups/lpoptions) nor the machine's
    # (lpoptions, client.conf) choice of a default printer, nor one named by LPDEST or PRINTER;
    # nor the machine's print service with its default printer (lpadmin -d): a test that prints
    # starts a print service of its own, and the others find none at CUPS_SERVER.
    set(home ${CMAKE_BINARY_DIR}/test-home/${name})
    file(MAKE_DIRECTORY ${home}/cups)
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VK_SOURCE_DIR=${PROJECT_SOURCE_DIR};VK_PROGRAM_DIR=${VK_PROGRAM_DIR}"
        ENVIRONMENT_MODIFICATION "HOME=set:${home};CUPS_SERVERROOT=set:${home}/cups;CUPS_SERVER=set:${home}/cups/no-print-service.sock;LPDEST=unset:;PRINTER=unset:")
endfunction()

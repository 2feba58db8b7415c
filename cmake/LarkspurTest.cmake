# larkspur_add_test(NAME name SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT s])
# One place that registers a GoogleTest executable with CTest: labels, timeout and a headless Qt
# platform for every test. Discovery runs before the tests, not at build time, so a test binary
# that needs a display never runs during the build.
function(larkspur_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    # GoogleTest's header (and Qt's, for the Qt suites) compiled once per suite of several files.
    list(LENGTH T_SOURCES sourceCount)
    if(sourceCount GREATER 2)
        target_precompile_headers(${T_NAME} PRIVATE <gtest/gtest.h>)
        if("larkspur_ui" IN_LIST T_LIBS)
            larkspur_qt_pch(${T_NAME} WIDGETS)
        elseif("lks_gridtest" IN_LIST T_LIBS OR "Qt6::Gui" IN_LIST T_LIBS)
            larkspur_qt_pch(${T_NAME})
        endif()
    endif()
    gtest_discover_tests(${T_NAME}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        TEST_LIST ${T_NAME}_TESTS)
    # gtest_discover_tests flattens list-valued PROPERTIES (two labels, three environment
    # entries) into separate arguments, which loses the timeout and the environment. CTest reads
    # this file after the discovered tests, so the properties are set there, lists intact.
    set(properties "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_properties.cmake")
    file(WRITE ${properties}
        "foreach(t IN LISTS ${T_NAME}_TESTS)\n"
        "  set_tests_properties(\"\${t}\" PROPERTIES\n"
        "    LABELS \"${T_LABELS}\"\n"
        "    TIMEOUT ${T_TIMEOUT}\n"
        "    ENVIRONMENT \"QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1\")\n"
        "endforeach()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${properties})
endfunction()

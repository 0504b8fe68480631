# End-to-end tests with the sensor simulator beside them.
#
#   add_sensorsim_test(NAME <ctest name> TARGET <test program> COM <3..9>
#                      [FILTER <gtest filter>] [SIM <simulator switches...>])
#
# Runs the program under Wine with one gtest filter (the name by default)
# while a simulator serves COM<n> of the test prefix. Tests on the same COM
# number never run at once.
set(SENSORSIM_DIR ${CMAKE_CURRENT_LIST_DIR})

function(add_sensorsim_test)
    cmake_parse_arguments(ARG "" "NAME;TARGET;COM;FILTER" "SIM" ${ARGN})
    if(NOT ARG_FILTER)
        set(ARG_FILTER ${ARG_NAME})
    endif()
    add_test(NAME ${ARG_NAME}
        COMMAND ${SENSORSIM_DIR}/run-with-sim --com ${ARG_COM}
            --log ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}.simlog ${ARG_SIM}
            -- ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:${ARG_TARGET}> --gtest_filter=${ARG_FILTER})
    set_tests_properties(${ARG_NAME} PROPERTIES
        RESOURCE_LOCK sensorsim_com${ARG_COM}
        TIMEOUT 120
        LABELS e2e
        # gtest prints this when the filter matched no test: a wiring fault.
        FAIL_REGULAR_EXPRESSION "Running 0 tests")
endfunction()

# The simulator's own tests, with the host's Python.
function(add_sensorsim_selftest)
    add_test(NAME sensorsim.selftest
        COMMAND python3 -B -m unittest discover -s ${SENSORSIM_DIR} -p "test_*.py")
    set_tests_properties(sensorsim.selftest PROPERTIES TIMEOUT 120 LABELS e2e)
endfunction()

# End-to-end tests with the sensor simulator beside them.
#
#   add_sensorsim_test(NAME <ctest name> TARGET <test program> COM <3..9>
#                      [FILTER <gtest filter>] [SIM <simulator switches...>] [PACED])
#
# Runs the program under Wine with one gtest filter (the name by default)
# while a simulator serves COM<n> of the test prefix. Tests on the same COM
# number never run at once. The test fails when the simulator reports a
# fault of the program (run-with-sim). PACED adds its twin <name>.Paced on
# the slowest line as a sensor gives it: the simulator paced at the 19200
# baud the test sets, while the realtime scan runs (the program's default),
# and no link Set may be refused.
set(SENSORSIM_DIR ${CMAKE_CURRENT_LIST_DIR})
set(SENSORSIM_PACED --pace --no-refused-sets)

function(add_sensorsim_test)
    cmake_parse_arguments(ARG "PACED" "NAME;TARGET;COM;FILTER" "SIM" ${ARGN})
    if(NOT ARG_FILTER)
        set(ARG_FILTER ${ARG_NAME})
    endif()
    set(twins ${ARG_NAME})
    if(ARG_PACED)
        list(APPEND twins ${ARG_NAME}.Paced)
    endif()
    foreach(name ${twins})
        set(sim ${ARG_SIM})
        if(NOT name STREQUAL ARG_NAME)
            list(APPEND sim ${SENSORSIM_PACED})
        endif()
        add_test(NAME ${name}
            COMMAND ${SENSORSIM_DIR}/run-with-sim --com ${ARG_COM}
                --log ${CMAKE_CURRENT_BINARY_DIR}/${name}.simlog ${sim}
                -- ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:${ARG_TARGET}> --gtest_filter=${ARG_FILTER})
        set_tests_properties(${name} PROPERTIES
            RESOURCE_LOCK sensorsim_com${ARG_COM}
            TIMEOUT 120
            LABELS e2e
            # gtest prints this when the filter matched no test: a wiring fault.
            FAIL_REGULAR_EXPRESSION "Running 0 tests")
    endforeach()
endfunction()

# The simulator's own tests, with the host's Python.
function(add_sensorsim_selftest)
    add_test(NAME sensorsim.selftest
        COMMAND python3 -B -m unittest discover -s ${SENSORSIM_DIR} -p "test_*.py")
    set_tests_properties(sensorsim.selftest PROPERTIES TIMEOUT 120 LABELS e2e)
endfunction()

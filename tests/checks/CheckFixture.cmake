# Runs one of the house's checks on a fixture tree and fails unless the check
# reports every fixture line that ends in "// reported" and none that ends in
# "// allowed". A check reports a line as "<path from the tree>:<line>: ...".
# Run as: cmake -DCHECK=<check script> -DFIXTURE=<tree> [-DCXX=<compiler>
#         -DDEFINES=<a,b=1> -DWORK=<folder>] -P CheckFixture.cmake
cmake_policy(VERSION 3.20)
set(ROOT "${FIXTURE}")
include(${CMAKE_CURRENT_LIST_DIR}/Preprocess.cmake)
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${FIXTURE} -DCXX=${CXX} -DDEFINES=${DEFINES} -DWORK=${WORK}
                -P ${CHECK} OUTPUT_VARIABLE output ERROR_VARIABLE output)

set(faults "")
file(GLOB_RECURSE fixtures RELATIVE ${FIXTURE} ${FIXTURE}/*)
foreach(fixture IN LISTS fixtures)
    check_read_lines(${FIXTURE}/${fixture} lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "// (reported|allowed)$")
            continue()
        endif()
        string(FIND "${output}" "${fixture}:${number}:" at)
        if(line MATCHES "reported$" AND at LESS 0)
            set(fault "not reported")
        elseif(line MATCHES "allowed$" AND at GREATER_EQUAL 0)
            set(fault "reported")
        else()
            continue()
        endif()
        string(STRIP "${line}" line)
        check_decode(line)
        string(APPEND faults "\n  ${fault}: ${fixture}:${number}: ${line}")
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "The check missed its mark:${faults}\nIts output:\n${output}")
endif()

# Runs one of the house's checks on a fixture tree and fails unless the check
# reports every fixture line that ends in "// reported" and none that ends in
# "// allowed".
# Run as: cmake -DCHECK=<check script> -DFIXTURE=<tree> -P CheckFixture.cmake
cmake_policy(VERSION 3.20)
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${FIXTURE} -P ${CHECK} OUTPUT_VARIABLE output
                ERROR_VARIABLE output)

set(faults "")
file(GLOB_RECURSE fixtures RELATIVE ${FIXTURE} ${FIXTURE}/*.h ${FIXTURE}/*.cpp)
foreach(fixture IN LISTS fixtures)
    file(STRINGS ${FIXTURE}/${fixture} lines REGEX "// (reported|allowed)$")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        string(FIND "${output}" "${fixture}: ${line}" at)
        if(line MATCHES "reported$" AND at LESS 0)
            set(fault "not reported")
        elseif(line MATCHES "allowed$" AND at GREATER_EQUAL 0)
            set(fault "reported")
        else()
            continue()
        endif()
        string(REPLACE ";" "\\;" line "${line}")
        list(APPEND faults "${fault}: ${fixture}: ${line}")
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "The check missed its mark:\n  ${text}\nIts output:\n${output}")
endif()

# Fails when a source file includes a header of a layer above its own:
# framework <- sensor <- protocol <- dialogs <- mainwindow; and, inside
# mainwindow/, of a room above its own.
# Each include is found as the compiler finds it: "x" in the including file's
# folder first, then from the project root (the one include folder); <x> from
# the project root only. Headers found nowhere (the system's) are skipped.
# Run as: cmake -DROOT=<source dir> -P LayerCheck.cmake
cmake_policy(VERSION 3.20)
if(NOT ROOT)
    message(FATAL_ERROR "ROOT is not set")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

set(layers framework sensor protocol dialogs mainwindow)
set(rank_framework 0)
set(rank_sensor 1)
set(rank_protocol 2)
set(rank_dialogs 3)
set(rank_mainwindow 4)

# Inside mainwindow/ the rooms point one way too:
# view <- print <- bands <- frame <- program. A room reaches a higher one only
# through an interface declared in its own room or below. Tests may build the
# whole window, so only the program's sources are held to it.
set(rooms view print bands frame program)
list(JOIN rooms ", " room_names)
set(room_rank 0)
foreach(room IN LISTS rooms)
    set(room_rank_${room} ${room_rank})
    math(EXPR room_rank "${room_rank} + 1")
endforeach()

# The included file's path from the root, or "" when it is found nowhere in
# the project.
function(resolve_include source line out)
    string(REGEX MATCH "#[ \t]*include[ \t]*([<\"])([^>\"]+)" found "${line}")
    set(${out} "" PARENT_SCOPE)
    if(NOT found)
        return()
    endif()
    set(candidates "${ROOT}/${CMAKE_MATCH_2}")
    if(CMAKE_MATCH_1 STREQUAL "\"")
        get_filename_component(folder "${source}" DIRECTORY)
        list(PREPEND candidates "${folder}/${CMAKE_MATCH_2}")
    endif()
    foreach(candidate IN LISTS candidates)
        if(EXISTS "${candidate}" AND NOT IS_DIRECTORY "${candidate}")
            get_filename_component(candidate "${candidate}" ABSOLUTE)
            file(RELATIVE_PATH shown "${ROOT}" "${candidate}")
            if(NOT shown MATCHES "^\\.\\./")
                set(${out} "${shown}" PARENT_SCOPE)
            endif()
            return()
        endif()
    endforeach()
endfunction()

# The layer a path from the root stands in; a layer's tests stand where the
# layer stands. "" outside the layers.
function(layer_of shown out)
    string(REGEX REPLACE "^tests/" "" inner "${shown}")
    string(REGEX MATCH "^[A-Za-z]+/" layer "${inner}")
    string(REPLACE "/" "" layer "${layer}")
    if(NOT DEFINED rank_${layer})
        set(layer "")
    endif()
    set(${out} "${layer}" PARENT_SCOPE)
endfunction()

# The room of a path under mainwindow/, or the folder it names there.
function(room_of shown out)
    string(REGEX REPLACE "^mainwindow/([A-Za-z]+)/.*$" "\\1" room "${shown}")
    set(${out} "${room}" PARENT_SCOPE)
endfunction()

set(violations "")
set(sources "")
foreach(layer IN LISTS layers)
    file(GLOB_RECURSE found ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.cpp ${ROOT}/tests/${layer}/*.h
         ${ROOT}/tests/${layer}/*.cpp)
    list(APPEND sources ${found})
endforeach()

foreach(source IN LISTS sources)
    file(RELATIVE_PATH shown ${ROOT} ${source})
    layer_of("${shown}" layer)
    set(room "")
    if(shown MATCHES "^mainwindow/")
        room_of("${shown}" room)
        if(NOT DEFINED room_rank_${room})
            list(APPEND violations "${shown}: stands in no room of mainwindow/ (${room_names})")
            continue()
        endif()
    endif()
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
        resolve_include("${source}" "${line}" target)
        if(target STREQUAL "")
            continue()
        endif()
        layer_of("${target}" target_layer)
        set(higher FALSE)
        if(target_layer AND rank_${target_layer} GREATER rank_${layer})
            set(higher TRUE)
        elseif(room AND target MATCHES "^mainwindow/")
            room_of("${target}" target_room)
            if(NOT DEFINED room_rank_${target_room} OR room_rank_${target_room} GREATER room_rank_${room})
                set(higher TRUE)
            endif()
        endif()
        if(higher)
            string(STRIP "${line}" line)
            list(APPEND violations "${shown}: ${line}")
        endif()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "A lower layer or room includes a higher one:\n  ${text}")
endif()

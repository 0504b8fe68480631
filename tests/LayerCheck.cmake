# Fails when a source file includes a header of a layer above its own:
# framework <- sensor <- protocol <- dialogs <- mainwindow; and, inside
# mainwindow/, of a room above its own.
# The cross compiler's preprocessor finds the includes, so the check sees
# what the build includes however it is written: through a macro, over a
# continued line, after a comment, spelt with a digraph, in any file the
# compiler reads (.h, .cpp, .inl, .hpp, .c, ...). Each file of a layer is read
# as a translation unit of its own, and each of its includes is reported on
# the line where the directive ends. A file outside the layers (resources/,
# the tests' shared helpers) stands in none: what it includes counts for the
# file that includes it, so no include is laundered through it.
# Not covered: an include that the project's definitions leave out (#if), or
# a condition on a macro of the system's headers, which are not read (each
# stands as an empty file); and a header included twice in one translation unit: the compiler reads it once
# (#pragma once, include guards), so only its first way in is checked; that
# way is reported where it runs up, so the check still fails. bench/ is not
# read: a benchmark stands above every layer, as the whole window's tests do.
# Run as: cmake -DROOT=<source dir> [-DCXX=<compiler> -DDEFINES=<a,b=1>
#         -DWORK=<folder>] -P LayerCheck.cmake
cmake_policy(VERSION 3.20)
if(NOT ROOT)
    message(FATAL_ERROR "ROOT is not set")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)
include(${CMAKE_CURRENT_LIST_DIR}/checks/Preprocess.cmake)

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

# Whether a file that source (in layer, and room when it is a program source
# of mainwindow/) reaches stands higher than it.
function(stands_higher target layer room out)
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
    set(${out} ${higher} PARENT_SCOPE)
endfunction()

# A path the preprocessor names, from the root; "" outside the root.
function(from_root path out)
    cmake_path(SET path NORMALIZE "${path}")
    string(FIND "${path}" "${ROOT}/" at)
    if(at EQUAL 0)
        file(RELATIVE_PATH path "${ROOT}" "${path}")
    else()
        set(path "")
    endif()
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

# Reads the line markers of one translation unit: the preprocessor enters an
# included file with flag 1 and comes back to the includer with flag 2, on
# the line after the directive. Appends to violations what source reaches.
function(check_unit source preprocessed)
    layer_of("${source}" layer)
    set(room "")
    if(source MATCHES "^mainwindow/")
        room_of("${source}" room)
    endif()
    file(STRINGS "${preprocessed}" markers REGEX "^# [0-9]+ \"")
    set(stack "")
    set(direct "")
    foreach(marker IN LISTS markers)
        string(REGEX MATCH "^# ([0-9]+) \"(.*)\"(( [0-9])*)$" parsed "${marker}")
        set(line ${CMAKE_MATCH_1})
        set(path "${CMAKE_MATCH_2}")
        set(flags "${CMAKE_MATCH_3} ")
        if(flags MATCHES " 1 ")
            from_root("${path}" shown)
            list(APPEND stack "<${shown}>")
        elseif(flags MATCHES " 2 ")
            list(POP_BACK stack child)
            list(LENGTH stack depth)
            set(parent "<>")
            if(depth GREATER 0)
                list(GET stack -1 parent)
            endif()
            string(REGEX REPLACE "^<(.*)>$" "\\1" child "${child}")
            string(REGEX REPLACE "^<(.*)>$" "\\1" parent "${parent}")
            if(parent AND child)
                math(EXPR line "${line} - 1")
                list(APPEND kids_${parent} "${child}")
                if(depth EQUAL 1 AND parent STREQUAL source)
                    list(APPEND direct "${child}|${line}")
                endif()
            endif()
        else()
            # The same file on another line, or the unit's start.
            from_root("${path}" shown)
            if(stack)
                list(POP_BACK stack)
            endif()
            list(APPEND stack "<${shown}>")
        endif()
    endforeach()

    set(found "")
    foreach(edge IN LISTS direct)
        string(REGEX REPLACE "^(.*)\\|([0-9]+)$" "\\1" child "${edge}")
        string(REGEX REPLACE "^(.*)\\|([0-9]+)$" "\\2" line "${edge}")
        # What the include reaches: the file, and through files that are not
        # checked on their own, what they include.
        set(queue "${child}")
        set(seen "${child}")
        while(queue)
            list(POP_FRONT queue target)
            stands_higher("${target}" "${layer}" "${room}" higher)
            if(higher)
                check_source_line("${ROOT}/${source}" ${line} text)
                set(report "${source}:${line}: ${text}")
                if(NOT target STREQUAL child)
                    string(APPEND report " (reaches ${target} through ${child})")
                endif()
                string(APPEND found "\n  ${report}")
                break()
            endif()
            if(NOT DEFINED checked_${target})
                foreach(next IN LISTS kids_${target})
                    if(NOT next IN_LIST seen)
                        list(APPEND seen "${next}")
                        list(APPEND queue "${next}")
                    endif()
                endforeach()
            endif()
        endwhile()
    endforeach()
    set(violations "${violations}${found}" PARENT_SCOPE)
endfunction()

set(folders "")
foreach(layer IN LISTS layers)
    list(APPEND folders ${layer} tests/${layer})
endforeach()
check_glob_sources(sources ${folders})

set(violations "")
set(units "")
set(outputs "")
foreach(source IN LISTS sources)
    if(source MATCHES "^mainwindow/")
        room_of("${source}" room)
        if(NOT DEFINED room_rank_${room})
            string(APPEND violations "\n  ${source}:1: stands in no room of mainwindow/ (${room_names})")
            continue()
        endif()
    endif()
    set(checked_${source} TRUE)
    list(APPEND units "${source}")
    list(APPEND outputs "${WORK}/layers/${source}.i")
endforeach()

set(inputs ${units})
list(TRANSFORM inputs PREPEND "${ROOT}/")
check_preprocess(INCLUDES INPUTS ${inputs} OUTPUTS ${outputs})
foreach(source output IN ZIP_LISTS units outputs)
    check_unit("${source}" "${output}")
endforeach()

if(violations)
    message(FATAL_ERROR "A lower layer or room includes a higher one:${violations}")
endif()

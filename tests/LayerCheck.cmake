# Fails when a source file includes a header of a layer above its own:
# framework <- sensor <- protocol <- dialogs <- mainwindow; and, inside
# mainwindow/, of a room above its own.
# Run as: cmake -DROOT=<source dir> -P LayerCheck.cmake
if(NOT ROOT)
    message(FATAL_ERROR "ROOT is not set")
endif()

set(layers framework sensor protocol dialogs mainwindow)
set(rank_framework 0)
set(rank_sensor 1)
set(rank_protocol 2)
set(rank_dialogs 3)
set(rank_mainwindow 4)

set(violations "")
foreach(layer IN LISTS layers)
    # A layer's tests stand where the layer stands.
    file(GLOB_RECURSE sources ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.cpp ${ROOT}/tests/${layer}/*.h
         ${ROOT}/tests/${layer}/*.cpp)
    foreach(source IN LISTS sources)
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"]*\"([A-Za-z]+)/.*$" "\\1" target "${line}")
            if(DEFINED rank_${target} AND rank_${target} GREATER rank_${layer})
                file(RELATIVE_PATH shown ${ROOT} ${source})
                string(STRIP "${line}" line)
                list(APPEND violations "${shown}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()

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

file(GLOB_RECURSE sources ${ROOT}/mainwindow/*.h ${ROOT}/mainwindow/*.cpp)
foreach(source IN LISTS sources)
    file(RELATIVE_PATH shown ${ROOT} ${source})
    string(REGEX REPLACE "^mainwindow/([A-Za-z]+)/.*$" "\\1" room "${shown}")
    if(NOT DEFINED room_rank_${room})
        list(APPEND violations "${shown}: stands in no room of mainwindow/ (${room_names})")
        continue()
    endif()
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"mainwindow/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"mainwindow/([A-Za-z]+)/.*$" "\\1" target "${line}")
        if(NOT DEFINED room_rank_${target} OR room_rank_${target} GREATER room_rank_${room})
            string(STRIP "${line}" line)
            list(APPEND violations "${shown}: ${line}")
        endif()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "A lower layer or room includes a higher one:\n  ${text}")
endif()

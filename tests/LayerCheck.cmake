# Fails when a source file includes a header of a layer above its own:
# framework <- sensor <- protocol <- dialogs <- mainwindow.
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

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "A lower layer includes a higher one:\n  ${text}")
endif()

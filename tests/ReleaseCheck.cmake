# Fails when a handle is released by hand, or an object made with new is held
# by no owner: each release call below is made only by the owner classes
# listed with it, never by the code that uses them.
# The list holds every Win32 call that frees a handle or gives back what a
# scope took (a lock, the clipboard, a window's DC), used here or not yet.
# Windows, timers, the mouse capture and print jobs are left out: they end
# through the window objects and their handlers.
# Run as: cmake -DROOT=<source dir> -P ReleaseCheck.cmake
cmake_policy(VERSION 3.20)
if(NOT ROOT)
    message(FATAL_ERROR "ROOT is not set")
endif()

set(release_calls
    # kernel objects and memory
    CloseHandle FindClose FindCloseChangeNotification UnmapViewOfFile GlobalFree GlobalUnlock LocalFree
    LocalUnlock HeapFree HeapDestroy VirtualFree FreeLibrary FreeResource RegCloseKey DeleteCriticalSection
    LeaveCriticalSection GlobalDeleteAtom DeleteAtom ClosePrinter
    # GDI
    DeleteObject DeleteDC ReleaseDC EndPaint CloseEnhMetaFile DeleteEnhMetaFile CloseMetaFile DeleteMetaFile
    # user objects
    DestroyMenu DestroyIcon DestroyCursor DestroyAcceleratorTable UnhookWindowsHookEx CloseClipboard
    ImageList_Destroy)

# The owners' files and the calls each may make. TextFile is the owner of
# its file: its Close returns CloseHandle's result.
set(owners
    framework/OwnedHandle.h CloseHandle
    framework/TextFile.cpp CloseHandle
    framework/GdiObject.h DeleteObject
    framework/WindowDc.h ReleaseDC,EndPaint
    framework/WindowDc.cpp DeleteDC
    framework/OwnedDc.h DeleteDC
    framework/MetaFileDc.h CloseEnhMetaFile,DeleteEnhMetaFile
    framework/GlobalBlock.h GlobalFree,GlobalUnlock
    framework/OwnedModule.h FreeLibrary
    framework/OwnedIcon.h DestroyIcon
    framework/OwnedPrinter.h ClosePrinter
    framework/ClipboardScope.h CloseClipboard
    framework/CriticalLock.cpp DeleteCriticalSection,LeaveCriticalSection
    framework/HandleOwner.h FindClose,RegCloseKey,DestroyAcceleratorTable,DestroyMenu,UnhookWindowsHookEx)

set(violations "")
set(owner_files "")
list(LENGTH owners count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET owners ${i} file)
    list(GET owners ${j} calls)
    if(NOT EXISTS ${ROOT}/${file})
        list(APPEND violations "${file}: listed as an owner but gone")
    endif()
    list(APPEND owner_files ${file})
    string(REPLACE "," ";" allowed_${i} "${calls}")
endforeach()

list(JOIN release_calls "|" alternatives)
set(call "(^|[^A-Za-z0-9_])(${alternatives})[ \t]*\\(")
# An object made with new goes straight into its std::unique_ptr, made or
# reset with it on the same line, so that no path can lose it.
set(made "(^|[^A-Za-z0-9_])new[ \t(]")
set(owned "(\\.reset|unique_ptr<[^;]*>[ \t]*[A-Za-z0-9_]*)[ \t]*\\([ \t]*new[ \t(]")

macro(report line)
    string(STRIP "${line}" text)
    string(REPLACE ";" "\\;" text "${text}")
    list(APPEND violations "${shown}: ${text}")
endmacro()

foreach(layer framework sensor protocol dialogs mainwindow)
    file(GLOB_RECURSE sources ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.cpp)
    foreach(source IN LISTS sources)
        file(RELATIVE_PATH shown ${ROOT} ${source})
        list(FIND owner_files ${shown} owner)
        if(owner GREATER_EQUAL 0)
            math(EXPR owner "${owner} * 2")
            set(allowed ${allowed_${owner}})
        else()
            set(allowed "")
        endif()
        file(STRINGS ${source} lines REGEX "${call}|${made}")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "//.*$" "" code "${line}")
            string(REGEX MATCHALL "${call}" found "${code}")
            foreach(match IN LISTS found)
                string(REGEX REPLACE "${call}" "\\2" name "${match}")
                list(FIND allowed ${name} permitted)
                if(permitted LESS 0)
                    report("${line}")
                    break()
                endif()
            endforeach()
            if(code MATCHES "${made}" AND NOT code MATCHES "${owned}")
                report("${line}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "A handle or object is released outside its owner:\n  ${text}")
endif()

# Fails when a handle is released by hand, or an object is made or freed
# outside an owner: each release call below is made only by the owner classes
# listed with it, never by the code that uses them; an object made with new
# goes straight into a std::unique_ptr; nothing is deleted by hand; and a
# unique_ptr gives its object up (release()) only where a listed hand-over
# passes it on to a receiver that takes it back into an owner at once.
# The list holds every Win32 call that frees a handle or gives back what a
# scope took (a lock, the clipboard, a window's DC), used here or not yet.
# Windows, timers, the mouse capture and print jobs are left out: they end
# through the window objects and their handlers.
# The code is read as the compiler reads it: continued lines are joined, the
# cross compiler's preprocessor removes the comments, and strings and
# characters are blanked, so a release call is found however it is spelt: a
# call split over lines, a call through a function pointer or a macro (the
# name is reported wherever it stands, in a #define too), after a string that
# holds "//". A continued line is reported on its last line.
# Not covered: a name built by token pasting (##) or looked up at run time
# (GetProcAddress), a raw string over several lines, and macros of the
# system's headers, which are not read: those that release a handle
# (windowsx.h's DeleteBitmap and the like) are on the list by name.
# Checked: the program's folders and bench/; the tests are not.
# Run as: cmake -DROOT=<source dir> [-DCXX=<compiler> -DWORK=<folder>]
#         -P ReleaseCheck.cmake
cmake_policy(VERSION 3.20)
if(NOT ROOT)
    message(FATAL_ERROR "ROOT is not set")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)
include(${CMAKE_CURRENT_LIST_DIR}/checks/Preprocess.cmake)

set(release_calls
    # kernel objects and memory
    CloseHandle FindClose FindCloseChangeNotification UnmapViewOfFile GlobalFree GlobalUnlock LocalFree
    LocalUnlock HeapFree HeapDestroy VirtualFree FreeLibrary FreeResource RegCloseKey DeleteCriticalSection
    LeaveCriticalSection ReleaseMutex ReleaseSemaphore ReleaseSRWLockExclusive ReleaseSRWLockShared
    GlobalDeleteAtom DeleteAtom ClosePrinter DeleteTimerQueue DeleteTimerQueueEx UnregisterWait
    UnregisterWaitEx FreeEnvironmentStringsA FreeEnvironmentStringsW CloseDesktop CloseWindowStation
    # GDI, with windowsx.h's macros for DeleteObject
    DeleteObject DeleteDC ReleaseDC EndPaint CloseEnhMetaFile DeleteEnhMetaFile CloseMetaFile DeleteMetaFile
    DeleteBitmap DeleteBrush DeleteFont DeletePen DeleteRgn DeletePalette
    # user objects
    DestroyMenu DestroyIcon DestroyCursor DestroyAcceleratorTable UnhookWindowsHookEx CloseClipboard
    ImageList_Destroy)

# The owners' files and the calls each may make; "release" is a unique_ptr
# giving its object up. TextFile is the owner of its file: its Close returns
# CloseHandle's result.
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
    framework/HandleOwner.h FindClose,RegCloseKey,DestroyAcceleratorTable,DestroyMenu,UnhookWindowsHookEx
    # The one hand-over of objects in posted messages: the receiver takes
    # each back with PostedObject::Take, or drains it when it goes away.
    framework/PostedObject.h release
    # At the port's end a retired device that a thread is still inside is
    # left to that thread rather than deleted under it.
    protocol/DevicePort.cpp release)

set(violations "")
set(owner_files "")
list(LENGTH owners count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET owners ${i} file)
    list(GET owners ${j} calls)
    if(NOT EXISTS ${ROOT}/${file})
        string(APPEND violations "\n  ${file}:1: listed as an owner but gone")
    endif()
    string(REPLACE "," ";" allowed_${file} "${calls}")
endforeach()

string(ASCII 27 mark)
set(word "A-Za-z0-9_")
set(space " \t\n")
# A string or character literal, its escapes included (a backslash travels
# encoded).
set(literal "\"([^\"${check_backslash}\n]|${check_backslash}[^\n])*\"|'([^'${check_backslash}\n]|${check_backslash}[^\n])*'")
# An object made with new goes straight into its std::unique_ptr, made or
# reset with it (over lines or not), so that no path can lose it.
set(owned "((\\.|->)[${space}]*reset|unique_ptr<[^${check_semicolon}]*>[${space}]*[${word}]*)([${space}]*[({][${space}]*)new([^${word}])")

# The text of a file as the compiler sees it, encoded: each continued line
# joined to the next, the whole standing on its last line. (Lines are joined
# into text as they go: a list drops the empty ones it starts with.)
function(join_continued lines out)
    set(joined "")
    set(pending "")
    set(separator "")
    foreach(line IN LISTS lines)
        if(line MATCHES "${check_backslash}[ \t]*$")
            string(REGEX REPLACE "${check_backslash}[ \t]*$" "" line "${line}")
            string(APPEND pending "${line}")
            set(line "")
        else()
            set(line "${pending}${line}")
            set(pending "")
        endif()
        string(APPEND joined "${separator}${line}")
        set(separator "\n")
    endforeach()
    set(${out} "${joined}" PARENT_SCOPE)
endfunction()

# The preprocessor's lines put back on their source lines, as encoded text:
# it leaves out runs of empty lines and says where it goes on with a marker.
function(place_lines preprocessed out)
    check_read_lines("${preprocessed}" lines)
    set(placed "")
    set(count 0)
    foreach(line IN LISTS lines)
        if(line MATCHES "^# ([0-9]+) \"")
            math(EXPR before "${CMAKE_MATCH_1} - 1")
            while(count LESS before)
                string(APPEND placed "\n")
                math(EXPR count "${count} + 1")
            endwhile()
            continue()
        endif()
        string(APPEND placed "${line}\n")
        math(EXPR count "${count} + 1")
    endforeach()
    set(${out} "${placed}" PARENT_SCOPE)
endfunction()

# Marks each reported word of one file's code and appends its lines.
function(check_code shown source_lines code)
    set(names "")
    foreach(name IN LISTS release_calls)
        if(NOT name IN_LIST allowed_${shown})
            list(APPEND names ${name})
        endif()
    endforeach()
    list(JOIN names "|" alternatives)
    # Includes name files, not code; every literal is blanked.
    string(REGEX REPLACE "(^|\n)[ \t]*(#|%:)[ \t]*include[^\n]*" "\\1" code "${code}")
    string(REGEX REPLACE "${literal}" "\"\"" code "${code}")

    string(REGEX REPLACE "${owned}" "\\1\\3owned_new\\4" code "${code}")
    string(REGEX REPLACE "(=[${space}]*)delete([^${word}])" "\\1deleted_function\\2" code "${code}")
    # Twice: a match takes the character after its word, which may stand
    # before the next one.
    foreach(pass 1 2)
        string(REGEX REPLACE "(^|[^${word}])(${alternatives}|new|delete)([^${word}]|$)" "\\1${mark}\\2\\3" code
               "${code}")
    endforeach()
    if(NOT "release" IN_LIST allowed_${shown})
        string(REGEX REPLACE "(\\.|->|::)([${space}]*)release([^${word}]|$)" "\\1\\2${mark}release\\3" code "${code}")
    endif()

    string(REPLACE "\n" ";" code "${code}")
    set(found "")
    set(number 0)
    foreach(line IN LISTS code)
        math(EXPR number "${number} + 1")
        string(FIND "${line}" "${mark}" at)
        if(at GREATER_EQUAL 0)
            math(EXPR index "${number} - 1")
            list(GET source_lines ${index} text)
            string(STRIP "${text}" text)
            check_decode(text)
            string(APPEND found "\n  ${shown}:${number}: ${text}")
        endif()
    endforeach()
    set(violations "${violations}${found}" PARENT_SCOPE)
endfunction()

check_glob_sources(sources framework sensor protocol dialogs mainwindow resources bench)
set(joined_files "")
set(outputs "")
foreach(shown IN LISTS sources)
    check_read_lines("${ROOT}/${shown}" lines)
    join_continued("${lines}" text)
    check_decode(text)
    file(WRITE "${WORK}/releases/${shown}" "${text}\n")
    list(APPEND joined_files "${WORK}/releases/${shown}")
    list(APPEND outputs "${WORK}/releases/${shown}.i")
endforeach()
check_preprocess(COMMENTS INPUTS ${joined_files} OUTPUTS ${outputs})

foreach(shown output IN ZIP_LISTS sources outputs)
    check_read_lines("${ROOT}/${shown}" lines)
    place_lines("${output}" code)
    check_code("${shown}" "${lines}" "${code}")
endforeach()

if(violations)
    message(FATAL_ERROR "A handle or object is released outside its owner:${violations}")
endif()

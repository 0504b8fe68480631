# What the house's checks share: the source files as lines, and the cross
# compiler's preprocessor run over many of them at once, so that a check
# reads the code as the compiler does (comments, strings, continued lines,
# macros, digraphs) instead of guessing at it with patterns.
# Included by the checks, which set ROOT; they may be given CXX (the compiler;
# by default the cross compiler on the path), DEFINES (the project's
# definitions, separated by commas) and WORK (a folder of their own for the
# preprocessed files; by default one under the current folder).

# Every file the compiler reads as C or C++, whatever the project uses now.
set(check_source_extensions c cc cp cpp cxx c++ h hh hp hpp hxx h++ inl ipp ixx tcc tpp txx inc)

if(NOT CXX)
    find_program(CXX NAMES i686-w64-mingw32-g++ g++ c++ REQUIRED)
endif()
if(NOT WORK)
    string(MD5 work_tag "${ROOT}|${CMAKE_SCRIPT_MODE_FILE}")
    set(WORK "${CMAKE_CURRENT_BINARY_DIR}/check-${work_tag}")
endif()
string(REPLACE "," ";" check_definitions "${DEFINES}")
list(TRANSFORM check_definitions PREPEND "-D")
cmake_host_system_information(RESULT check_jobs QUERY NUMBER_OF_LOGICAL_CORES)
if(check_jobs LESS 1)
    set(check_jobs 1)
endif()

# List items stop at ";", hold together across "[" ... "]" and run on past a
# trailing "\": those characters travel encoded while text is a list.
string(ASCII 28 check_backslash)
string(ASCII 29 check_semicolon)
string(ASCII 30 check_open)
string(ASCII 31 check_close)

macro(check_encode var)
    string(REPLACE "\\" "${check_backslash}" ${var} "${${var}}")
    string(REPLACE ";" "${check_semicolon}" ${var} "${${var}}")
    string(REPLACE "[" "${check_open}" ${var} "${${var}}")
    string(REPLACE "]" "${check_close}" ${var} "${${var}}")
endmacro()

macro(check_decode var)
    string(REPLACE "${check_backslash}" "\\" ${var} "${${var}}")
    string(REPLACE "${check_semicolon}" ";" ${var} "${${var}}")
    string(REPLACE "${check_open}" "[" ${var} "${${var}}")
    string(REPLACE "${check_close}" "]" ${var} "${${var}}")
endmacro()

# The lines of a text, encoded: line n is item n - 1.
function(check_split_lines text out)
    check_encode(text)
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()

function(check_read_lines file out)
    file(READ "${file}" text)
    check_split_lines("${text}" lines)
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# Line n of a file as the check reports it: decoded, without its indent.
function(check_source_line file n out)
    check_read_lines("${file}" lines)
    math(EXPR index "${n} - 1")
    list(LENGTH lines count)
    set(line "")
    if(index GREATER_EQUAL 0 AND index LESS count)
        list(GET lines ${index} line)
    endif()
    string(STRIP "${line}" line)
    check_decode(line)
    set(${out} "${line}" PARENT_SCOPE)
endfunction()

# The files under the given folders of ROOT that the compiler would read, as
# paths from ROOT.
function(check_glob_sources out)
    set(patterns "")
    foreach(folder IN LISTS ARGN)
        foreach(extension IN LISTS check_source_extensions)
            list(APPEND patterns "${ROOT}/${folder}/*.${extension}")
        endforeach()
    endforeach()
    file(GLOB_RECURSE found RELATIVE "${ROOT}" ${patterns})
    list(SORT found)
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

# Runs the preprocessor over each input into the output of the same place:
#   INCLUDES: the whole preprocessor (includes found as the build finds them
#     from ROOT, macros expanded). The system's headers are not read, for
#     speed: each is replaced by an empty one, so their macros stay
#     unexpanded.
#   COMMENTS: comments removed, nothing else; lines and directives kept.
# Runs as many at once as the machine has cores. Fails the check when a file
# cannot be read.
function(check_preprocess mode)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "INPUTS;OUTPUTS")
    set(stubs "${WORK}/system")
    file(MAKE_DIRECTORY "${stubs}")
    if(mode STREQUAL "INCLUDES")
        set(flags -E -w -x c++ -std=c++17 -nostdinc -nostdinc++ -I "${ROOT}" -idirafter "${stubs}" ${check_definitions})
    else()
        set(flags -E -w -x c++ -fpreprocessed -dD)
    endif()
    list(LENGTH ARG_INPUTS count)
    set(pending "")
    if(count GREATER 0)
        math(EXPR last "${count} - 1")
        foreach(i RANGE ${last})
            list(APPEND pending ${i})
        endforeach()
    endif()
    while(pending)
        set(failed "")
        set(missing "")
        set(errors "")
        list(LENGTH pending left)
        while(left GREATER 0)
            # One batch at a time: the commands of one call run side by side.
            set(batch "")
            set(commands "")
            foreach(n RANGE 1 ${check_jobs})
                if(NOT pending)
                    break()
                endif()
                list(POP_FRONT pending i)
                list(GET ARG_INPUTS ${i} input)
                list(GET ARG_OUTPUTS ${i} output)
                get_filename_component(folder "${output}" DIRECTORY)
                file(MAKE_DIRECTORY "${folder}")
                list(APPEND batch ${i})
                list(APPEND commands COMMAND ${CXX} ${flags} "${input}" -o "${output}")
            endforeach()
            execute_process(${commands} RESULTS_VARIABLE results ERROR_VARIABLE error OUTPUT_QUIET)
            foreach(i result IN ZIP_LISTS batch results)
                if(NOT result STREQUAL "0")
                    list(APPEND failed ${i})
                endif()
            endforeach()
            string(APPEND errors "${error}")
            string(REGEX MATCHALL "fatal error: [^\n:]+: No such file or directory" found "${error}")
            list(APPEND missing ${found})
            list(LENGTH pending left)
        endwhile()
        # A header found nowhere (the system's) is given as an empty one and
        # the files that wanted it run again; any other failure ends the check.
        set(made FALSE)
        foreach(entry IN LISTS missing)
            string(REGEX REPLACE "^fatal error: (.+): No such file or directory$" "\\1" header "${entry}")
            if(NOT EXISTS "${stubs}/${header}")
                get_filename_component(folder "${stubs}/${header}" DIRECTORY)
                file(MAKE_DIRECTORY "${folder}")
                file(WRITE "${stubs}/${header}" "")
                set(made TRUE)
            endif()
        endforeach()
        if(failed AND NOT made)
            message(FATAL_ERROR "The preprocessor could not read every file:\n${errors}")
        endif()
        set(pending ${failed})
    endwhile()
endfunction()

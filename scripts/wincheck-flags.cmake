# Part of scripts/wincheck.sh. Reads the compile_commands.json that CMake wrote for a
# configuration and writes, for each source file under SOURCE_DIR, a GCC response file in OUT_DIR
# holding the include folders, definitions and warning options of that file's real compile
# command, then the file itself. Everything else in the command (compiler, optimisation, output,
# position-independent code) belongs to the host build and is left out.
#
#   cmake -DCOMMANDS=<compile_commands.json> -DSOURCE_DIR=<src> -DOUT_DIR=<folder> -P wincheck-flags.cmake
foreach(var COMMANDS SOURCE_DIR OUT_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "wincheck-flags.cmake needs -D${var}=...")
    endif()
endforeach()

file(READ "${COMMANDS}" json)
string(JSON count LENGTH "${json}")
file(REMOVE_RECURSE "${OUT_DIR}")
file(MAKE_DIRECTORY "${OUT_DIR}")
if(count EQUAL 0)
    return()
endif()

# GCC reads response files like a shell: quote every argument.
function(quoted out arg)
    string(REPLACE "\\" "\\\\" arg "${arg}")
    string(REPLACE "\"" "\\\"" arg "${arg}")
    set(${out} "\"${arg}\"" PARENT_SCOPE)
endfunction()

math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
    string(JSON file GET "${json}" ${i} file)
    string(FIND "${file}" "${SOURCE_DIR}/" at)
    if(NOT at EQUAL 0)
        continue() # moc, rcc and other generated sources
    endif()
    string(JSON command GET "${json}" ${i} command)
    separate_arguments(args UNIX_COMMAND "${command}")

    set(lines "")
    set(take_next FALSE)
    foreach(arg IN LISTS args)
        if(take_next)
            set(take_next FALSE)
        elseif(arg STREQUAL "-isystem" OR arg STREQUAL "-I" OR arg STREQUAL "-D")
            set(take_next TRUE)
        elseif(NOT arg MATCHES "^-[DIW]")
            continue()
        endif()
        quoted(q "${arg}")
        list(APPEND lines "${q}")
    endforeach()
    quoted(q "${file}")
    list(APPEND lines "${q}")

    file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
    string(REPLACE "/" "." name "${name}")
    list(JOIN lines "\n" text)
    file(WRITE "${OUT_DIR}/${name}.rsp" "${text}\n")
endforeach()

# A cross build for Windows runs its test programs under Wine: wine-run.sh in the build folder
# starts them with Qt's libraries and the MinGW runtime on Wine's search path.
find_program(WINE_EXECUTABLE wine)
if(NOT WINE_EXECUTABLE)
    message(WARNING "Wine was not found: the Windows test programs build but cannot run here")
endif()

# Wine's PATH, in Windows form: Qt's bin folder and the folders of the MinGW runtime.
get_filename_component(qt_bin "${Qt6_DIR}/../../../bin" ABSOLUTE)
set(wine_dirs ${qt_bin})
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(dir "${path}" DIRECTORY)
    get_filename_component(dir "${dir}" ABSOLUTE)
    list(APPEND wine_dirs ${dir})
endforeach()
set(SCRAWLIX_WINEPATH "")
foreach(dir IN LISTS wine_dirs)
    string(REPLACE "/" "\\" windows_dir "Z:${dir}")
    list(APPEND SCRAWLIX_WINEPATH "${windows_dir}")
endforeach()
list(JOIN SCRAWLIX_WINEPATH ";" SCRAWLIX_WINEPATH)

configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                     WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

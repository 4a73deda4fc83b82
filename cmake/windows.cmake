# The Windows install: one self-contained folder with scrawlix.exe, the help file beside it (where
# Help looks for it) with its HTML pages in help\, and the Qt libraries and plug-ins that
# windeployqt copies next to them. `cpack` packs that folder as a ZIP, and also as an installer
# when NSIS is present.

install(TARGETS scrawlix RUNTIME DESTINATION .)
if(TARGET scrawlix_help)
    install(FILES ${CMAKE_BINARY_DIR}/Scrawlix_Help.chm DESTINATION .)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/help/ DESTINATION help)
endif()

# Qt's own bin folder first: a windeployqt of another Qt would copy the wrong libraries.
find_program(WINDEPLOYQT_EXECUTABLE windeployqt HINTS "${Qt6_DIR}/../../../bin")
if(WINDEPLOYQT_EXECUTABLE)
    install(CODE "
        execute_process(
            COMMAND \"${WINDEPLOYQT_EXECUTABLE}\" --no-translations
                    \"\${CMAKE_INSTALL_PREFIX}/scrawlix.exe\"
            COMMAND_ERROR_IS_FATAL ANY)")
else()
    message(WARNING "windeployqt was not found beside Qt (${Qt6_DIR}): the installed folder "
                    "will lack Qt's libraries")
endif()

set(CPACK_PACKAGE_NAME Scrawlix)
set(CPACK_PACKAGE_VENDOR Scrawlix)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Freeze the screen and draw on it")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Scrawlix)
set(CPACK_PACKAGE_EXECUTABLES scrawlix Scrawlix)
set(CPACK_GENERATOR ZIP)
find_program(MAKENSIS_EXECUTABLE makensis)
if(MAKENSIS_EXECUTABLE)
    list(APPEND CPACK_GENERATOR NSIS)
endif()
include(CPack)

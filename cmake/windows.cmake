# The Windows install: one self-contained folder with scrawlix.exe, the help file beside it (where
# Help looks for it) with its HTML pages in help\, and the Qt libraries and plug-ins the program
# loads, copied from the Qt it was built with. `cpack` packs that folder as a ZIP, and also as an
# installer when NSIS is present.
#
#   scrawlix.exe  Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll Qt6PrintSupport.dll
#   [Qt6Svg.dll]  [the MinGW runtime: libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll]
#   platforms\qwindows.dll  styles\  imageformats\  [iconengines\]
#   Scrawlix_Help.chm  help\

install(TARGETS scrawlix RUNTIME DESTINATION .)
if(TARGET scrawlix_help)
    install(FILES ${CMAKE_BINARY_DIR}/Scrawlix_Help.chm DESTINATION .)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/help/ DESTINATION help)
endif()

# Qt's libraries, by the imported targets the program links.
foreach(module Core Gui Widgets Network PrintSupport Svg)
    if(TARGET Qt6::${module})
        install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
    endif()
endforeach()

# Qt's plug-ins, in the folders beside the program where Qt looks for them: the Windows platform,
# the native style, and the picture formats that opening an image reads.
set(scrawlix_qt_plugins
    platforms QWindowsIntegrationPlugin
    styles QWindowsVistaStylePlugin
    imageformats QGifPlugin
    imageformats QJpegPlugin
    imageformats QICOPlugin
    imageformats QSvgPlugin
    iconengines QSvgIconPlugin
)
while(scrawlix_qt_plugins)
    list(POP_FRONT scrawlix_qt_plugins folder plugin)
    if(TARGET Qt6::${plugin})
        install(FILES $<TARGET_FILE:Qt6::${plugin}> DESTINATION ${folder})
    elseif(plugin STREQUAL "QWindowsIntegrationPlugin")
        message(WARNING "Qt has no Windows platform plug-in: the installed folder will not run")
    endif()
endwhile()

# A MinGW build needs the compiler's runtime libraries too; Qt built with the same compiler uses
# the same ones.
if(MINGW)
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
            OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(IS_ABSOLUTE "${path}" AND EXISTS "${path}")
            install(FILES ${path} DESTINATION .)
        else()
            message(WARNING "${dll} of the MinGW runtime was not found: the installed folder "
                            "needs it on PATH")
        endif()
    endforeach()
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

# Translations. The English texts are in the code. translations/scrawlix.ts is the template that a
# translator starts from (every text, none translated), and translations/scrawlix_<language>.ts
# holds a translation. Qt's lupdate and lrelease (Debian: qt6-l10n-tools) do the work; without
# them the program builds the same and speaks English.
#   - target scrawlix_lupdate (not built by default) brings the template and every translation up
#     to date with the texts in src/;
#   - each translation is compiled into translations/scrawlix_<language>.qm in the build folder,
#     beside the program, and installed in the data folder beside the help (on Windows, in the
#     translations folder beside the program), where the program looks for it.
include(GNUInstallDirs)

# Host tools, also in a cross build.
set(scrawlix_qt_tool_dirs /usr/lib/qt6/bin)
if(QT_HOST_PATH)
    list(PREPEND scrawlix_qt_tool_dirs ${QT_HOST_PATH}/lib/qt6/bin ${QT_HOST_PATH}/bin)
endif()
find_program(SCRAWLIX_LUPDATE NAMES lupdate lupdate-qt6 HINTS ${scrawlix_qt_tool_dirs}
    NO_CMAKE_FIND_ROOT_PATH)
find_program(SCRAWLIX_LRELEASE NAMES lrelease lrelease-qt6 HINTS ${scrawlix_qt_tool_dirs}
    NO_CMAKE_FIND_ROOT_PATH)

set(scrawlix_ts_template ${PROJECT_SOURCE_DIR}/translations/scrawlix.ts)
file(GLOB scrawlix_ts_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/translations/scrawlix_*.ts)

if(SCRAWLIX_LUPDATE)
    add_custom_target(scrawlix_lupdate
        COMMAND ${SCRAWLIX_LUPDATE} -silent -no-obsolete -extensions cpp,h -source-language en
            src -ts ${scrawlix_ts_template} ${scrawlix_ts_files}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        COMMENT "Updating translations/*.ts from the texts in src/"
        VERBATIM)
else()
    message(STATUS "lupdate not found (qt6-l10n-tools): no target scrawlix_lupdate")
endif()

if(scrawlix_ts_files AND NOT SCRAWLIX_LRELEASE)
    message(STATUS "lrelease not found (qt6-l10n-tools): the translations are not built")
elseif(scrawlix_ts_files)
    set(scrawlix_qm_files)
    foreach(ts IN LISTS scrawlix_ts_files)
        get_filename_component(name ${ts} NAME_WE)
        set(qm ${CMAKE_BINARY_DIR}/translations/${name}.qm)
        add_custom_command(OUTPUT ${qm}
            COMMAND ${SCRAWLIX_LRELEASE} -silent ${ts} -qm ${qm}
            DEPENDS ${ts}
            COMMENT "Compiling the translation ${name}"
            VERBATIM)
        list(APPEND scrawlix_qm_files ${qm})
    endforeach()
    add_custom_target(scrawlix_translations ALL DEPENDS ${scrawlix_qm_files})
    if(WIN32)
        install(FILES ${scrawlix_qm_files} DESTINATION translations)
    else()
        install(FILES ${scrawlix_qm_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/scrawlix/translations)
    endif()
endif()

# Installs the build into a scratch root (DESTDIR) and checks the installed tree: the desktop entry
# and the AppStream metadata pass their validators, the file type of saved games is well-formed and
# builds a MIME database that knows game files by name and by content, and the icons and the data
# are there.
# cmake -DBINARY_DIR=... -DSCRATCH=... -DPREFIX=... -DDATA_DIR=... -DAPP_ID=...
#       -DDESKTOP_FILE_VALIDATE=... -DAPPSTREAMCLI=... -DBENCH=<xq-bench>
#       [-DXMLLINT=...] [-DUPDATE_MIME_DATABASE=... [-DGIO=...]] -P check-install.cmake
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${SCRATCH}"
                        ${CMAKE_COMMAND} --install "${BINARY_DIR}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()

set(root "${SCRATCH}${PREFIX}/share")
set(desktop "${root}/applications/${APP_ID}.desktop")
set(metainfo "${root}/metainfo/${APP_ID}.metainfo.xml")
set(mimeinfo "${root}/mime/packages/lanchuan-xiangqi.xml")
foreach(file "${desktop}" "${metainfo}" "${mimeinfo}" "${SCRATCH}${DATA_DIR}/opening.lib"
             "${SCRATCH}${PREFIX}/bin/lanchuan-xiangqi" "${SCRATCH}${PREFIX}/bin/lanchuan-engine"
             "${SCRATCH}${PREFIX}/bin/lanchuan-match"
             "${root}/icons/hicolor/48x48/apps/lanchuan-xiangqi.png"
             "${root}/icons/hicolor/512x512/apps/lanchuan-xiangqi.png")
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${desktop}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate refused ${desktop}")
endif()
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net "${metainfo}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "appstreamcli refused ${metainfo}")
endif()

# The file type: well-formed XML, taken by update-mime-database, and then telling a saved game by
# its name and, named otherwise, by its bytes, but not a text file.
if(XMLLINT)
    execute_process(COMMAND "${XMLLINT}" --noout "${mimeinfo}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "xmllint refused ${mimeinfo}")
    endif()
endif()
if(UPDATE_MIME_DATABASE)
    # Run as for a data folder in the search path, which it would otherwise point out.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env "XDG_DATA_HOME=${root}" "XDG_DATA_DIRS=${root}"
                            "${UPDATE_MIME_DATABASE}" "${root}/mime"
                    RESULT_VARIABLE result ERROR_VARIABLE complaints)
    if(NOT result EQUAL 0 OR NOT complaints STREQUAL "")
        message(FATAL_ERROR "update-mime-database refused ${mimeinfo}: ${complaints}")
    endif()
endif()
if(UPDATE_MIME_DATABASE AND GIO)
    set(samples "${SCRATCH}/samples")
    file(MAKE_DIRECTORY "${samples}")
    execute_process(COMMAND "${BENCH}" gamefile save "${samples}/game.chs" RESULT_VARIABLE result
                    OUTPUT_QUIET)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "xq-bench could not save a game")
    endif()
    file(COPY_FILE "${samples}/game.chs" "${samples}/saved-game")
    file(WRITE "${samples}/notes" "[Event \"a game record, not a saved game\"]\n")
    foreach(row "game.chs:application/x-lanchuan-xiangqi-game"
                "saved-game:application/x-lanchuan-xiangqi-game" "notes:text/plain")
        string(REPLACE ":" ";" row "${row}")
        list(GET row 0 sample)
        list(GET row 1 expected)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env "XDG_DATA_HOME=${root}"
                                "XDG_DATA_DIRS=${root}" "${GIO}" info -a standard::content-type
                                "${samples}/${sample}"
                        OUTPUT_VARIABLE info RESULT_VARIABLE result)
        if(NOT result EQUAL 0 OR NOT info MATCHES "content-type: ${expected}\n")
            message(FATAL_ERROR "${sample} is not ${expected}: ${info}")
        endif()
    endforeach()
endif()
file(REMOVE_RECURSE "${SCRATCH}")
message(STATUS "installed tree checked")

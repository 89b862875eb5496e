# Installs the build into a scratch root (DESTDIR) and checks the installed tree: the desktop entry
# and the AppStream metadata pass their validators, and the icons and the data are there.
# cmake -DBINARY_DIR=... -DSCRATCH=... -DPREFIX=... -DDATA_DIR=... -DAPP_ID=...
#       -DDESKTOP_FILE_VALIDATE=... -DAPPSTREAMCLI=... -P check-install.cmake
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
foreach(file "${desktop}" "${metainfo}" "${SCRATCH}${DATA_DIR}/opening.lib"
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
file(REMOVE_RECURSE "${SCRATCH}")
message(STATUS "installed tree checked")

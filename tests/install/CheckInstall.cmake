# Installs the build into a fresh prefix and checks what a desktop finds
# there: a valid desktop entry, valid metainfo, the icon and the program.
# cmake -DBUILD_DIR=<build> -DPREFIX=<empty folder> -DAPP_ID=<id> -P CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()

function(check_tool tool)
    find_program(found ${tool} REQUIRED NO_CACHE)
    execute_process(COMMAND ${found} ${ARGN} RESULT_VARIABLE result
        OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${tool} ${ARGN}:\n${out}")
    endif()
endfunction()

check_tool(desktop-file-validate ${PREFIX}/share/applications/${APP_ID}.desktop)
check_tool(appstreamcli validate --no-net ${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml)

set(icon ${PREFIX}/share/icons/hicolor/scalable/apps/${APP_ID}.svg)
file(READ ${icon} svg LIMIT 400)
if(NOT svg MATCHES "<svg")
    message(FATAL_ERROR "no SVG icon at ${icon}")
endif()
foreach(size 16 24 32 48)
    set(small ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.svg)
    file(READ ${small} svg LIMIT 400)
    if(NOT svg MATCHES "width=\"${size}\"")
        message(FATAL_ERROR "no ${size} px icon at ${small}")
    endif()
endforeach()
file(READ ${PREFIX}/share/applications/${APP_ID}.desktop entry)
if(NOT entry MATCHES "\nIcon=${APP_ID}\n" OR NOT entry MATCHES "\nExec=kivo-vovid\n")
    message(FATAL_ERROR "the desktop entry does not name the icon and the program")
endif()
if(NOT EXISTS ${PREFIX}/bin/kivo-vovid)
    message(FATAL_ERROR "the program is not installed")
endif()

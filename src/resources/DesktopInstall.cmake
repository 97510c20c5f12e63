# What a desktop needs besides the executable: the launcher entry, the icon in the sizes of the
# icon theme, the two stereo file types and the description for software centres. Included where
# the executable is installed.
set(duoptic_desktop_files ${CMAKE_CURRENT_LIST_DIR})
set(duoptic_app_id io.github.duoptic.duoptic)

install(FILES ${duoptic_desktop_files}/duoptic.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${duoptic_desktop_files}/duoptic-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME duoptic.xml)
install(FILES ${duoptic_desktop_files}/${duoptic_app_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The 32 x 32 icon is the window icon itself; the other sizes are drawn from the same map.
set(duoptic_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${duoptic_desktop_files}/duoptic.png DESTINATION ${duoptic_icons}/32x32/apps)
foreach(size 16 24 48 64 128 256)
    install(FILES ${duoptic_desktop_files}/icons/duoptic-${size}.png
            DESTINATION ${duoptic_icons}/${size}x${size}/apps RENAME duoptic.png)
endforeach()
install(FILES ${duoptic_desktop_files}/icons/duoptic.svg DESTINATION ${duoptic_icons}/scalable/apps)

# File managers learn the new types and the "Open with" entry only from their caches. A staged
# install (DESTDIR) is left alone: the package manager rebuilds the caches of the real system,
# and caches built in the stage would hold nothing but this program's entries.
install(CODE "set(duoptic_datadir \"${CMAKE_INSTALL_DATADIR}\")")
install(CODE [[
    if(NOT IS_ABSOLUTE "${duoptic_datadir}")
        set(duoptic_datadir "${CMAKE_INSTALL_PREFIX}/${duoptic_datadir}")
    endif()
    foreach(tool_and_folder "update-mime-database;mime" "update-desktop-database;applications")
        list(GET tool_and_folder 0 tool)
        list(GET tool_and_folder 1 folder)
        find_program(duoptic_${folder}_tool ${tool})
        if(NOT "$ENV{DESTDIR}" STREQUAL "")
            message(STATUS "Staged install: ${tool} left to the package manager")
        elseif(NOT duoptic_${folder}_tool)
            message(STATUS "${tool} not found: run it on ${duoptic_datadir}/${folder} later")
        else()
            message(STATUS "Running ${tool} ${duoptic_datadir}/${folder}")
            execute_process(COMMAND ${duoptic_${folder}_tool} "${duoptic_datadir}/${folder}"
                            RESULT_VARIABLE status)
            if(NOT status EQUAL 0)
                message(WARNING "${tool} ${duoptic_datadir}/${folder} failed: ${status}")
            endif()
        endif()
    endforeach()
]])

# The manual page, compressed as man expects; gzip -n, so that the same page gives the same bytes.
set(duoptic_manual ${CMAKE_CURRENT_BINARY_DIR}/duoptic.1)
configure_file(${duoptic_desktop_files}/duoptic.1.in ${duoptic_manual} @ONLY)
add_custom_command(OUTPUT ${duoptic_manual}.gz COMMAND gzip -9nfk ${duoptic_manual}
                   DEPENDS ${duoptic_manual})
add_custom_target(duoptic_manual DEPENDS ${duoptic_manual}.gz)
add_dependencies(duoptic duoptic_manual)
install(FILES ${duoptic_manual}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

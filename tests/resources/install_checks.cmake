# What the install and package checks share: the files an install puts under its prefix, and the
# runner of the commands that install the build.
set(installed_files
    bin/duoptic
    share/applications/duoptic.desktop
    share/mime/packages/duoptic.xml
    share/metainfo/io.github.duoptic.duoptic.metainfo.xml
    share/icons/hicolor/scalable/apps/duoptic.svg
    share/man/man1/duoptic.1.gz
    share/doc/duoptic/copyright
    share/doc/duoptic/changelog.gz)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND installed_files share/icons/hicolor/${size}x${size}/apps/duoptic.png)
endforeach()

# Every install rewrites the build's manifest, which the user's uninstall reads: the manifest of
# the user's own install is put back after each of the test's installs. A command that fails or
# warns fails the check; its standard output is left in `out`.
function(run)
    set(manifest ${BUILD}/install_manifest.txt)
    if(EXISTS ${manifest})
        file(READ ${manifest} users_manifest)
    endif()
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(DEFINED users_manifest)
        file(WRITE ${manifest} "${users_manifest}")
    else()
        file(REMOVE ${manifest})
    endif()
    if(NOT status EQUAL 0 OR err MATCHES "Warning")
        message(FATAL_ERROR "${ARGN} failed (${status}):\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

# Installs the build twice and checks where every file lands: staged (DESTDIR, as a package is
# built), where the MIME and desktop databases must be left alone, and straight into a prefix,
# where they must be brought up to date when their tools exist.
#   cmake -DBUILD=<build folder> -DWORK=<scratch folder> -P check_install.cmake
include(${CMAKE_CURRENT_LIST_DIR}/install_checks.cmake)

function(install_into prefix destdir)
    set(ENV{DESTDIR} "${destdir}")
    run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})
    unset(ENV{DESTDIR})
endfunction()

# Every expected file, and no other outside the databases' own caches.
function(check_files root)
    foreach(file ${installed_files})
        if(NOT EXISTS ${root}/${file} OR IS_DIRECTORY ${root}/${file})
            message(FATAL_ERROR "missing after install: ${root}/${file}")
        endif()
    endforeach()
    file(GLOB_RECURSE found RELATIVE ${root} ${root}/*)
    list(FILTER found EXCLUDE REGEX "^share/mime/[^p]|^share/applications/mimeinfo.cache$")
    list(REMOVE_ITEM found ${installed_files})
    if(found)
        message(FATAL_ERROR "unexpected files after install: ${found}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK})

set(stage ${WORK}/stage)
install_into(/usr/local ${stage})
check_files(${stage}/usr/local)
foreach(cache share/mime/mime.cache share/applications/mimeinfo.cache)
    if(EXISTS ${stage}/usr/local/${cache})
        message(FATAL_ERROR "a staged install wrote ${cache}")
    endif()
endforeach()

set(prefix ${WORK}/prefix)
install_into(${prefix} "")
check_files(${prefix})
find_program(update_mime update-mime-database)
if(update_mime AND NOT EXISTS ${prefix}/share/mime/image/x-mpo.xml)
    message(FATAL_ERROR "update-mime-database did not run on ${prefix}/share/mime")
endif()
find_program(update_desktop update-desktop-database)
if(update_desktop)
    file(READ ${prefix}/share/applications/mimeinfo.cache cache)
    if(NOT cache MATCHES "image/x-mpo=duoptic.desktop;")
        message(FATAL_ERROR "update-desktop-database did not take the entry's types:\n${cache}")
    endif()
endif()

# The software centre's view of the installed tree: description, desktop entry and icons.
find_program(appstreamcli appstreamcli)
if(appstreamcli)
    execute_process(COMMAND ${appstreamcli} validate-tree --no-net ${prefix}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "appstreamcli validate-tree ${prefix}:\n${out}")
    endif()
endif()

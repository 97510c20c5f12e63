# Packages the build with cpack and checks the .deb without installing it: lintian finds no
# error, it holds every installed file, it depends on exactly the packages of what the program
# loads, apt resolves it here, and its executable runs in an X server of its own.
#   cmake -DBUILD=<build folder> -DWORK=<scratch folder> -DPAIR=<a pair file> -P check_package.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/installed_files.cmake)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${status}):\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

# The packages that own a file, found by its name or a pattern (names without the architecture).
function(owners pattern)
    run(dpkg-query --search ${pattern})
    string(REGEX REPLACE ": [^\n]*(\n|$)" ", " out "${out}")
    string(REGEX REPLACE ":[a-z0-9]+" "" out "${out}")
    string(REPLACE ", " ";" out "${out}")
    list(FILTER out EXCLUDE REGEX "^$")
    set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
# The staged install rewrites the build's manifest, which the user's uninstall reads.
set(manifest ${BUILD}/install_manifest.txt)
if(EXISTS ${manifest})
    file(COPY_FILE ${manifest} ${WORK}/users_manifest)
endif()
run(cpack --config ${BUILD}/CPackConfig.cmake -B ${WORK})
file(REMOVE ${manifest})
if(EXISTS ${WORK}/users_manifest)
    file(RENAME ${WORK}/users_manifest ${manifest})
endif()
file(GLOB deb ${WORK}/*.deb)

run(lintian --fail-on error ${deb})
if(out)
    message("lintian: ${out}")
endif()

# Every installed file, and no other: no cache of the MIME or desktop databases among them.
run(dpkg-deb --contents ${deb})
string(REGEX MATCHALL " \\./usr/[^\n]*[^/\n]\n" packaged "${out}\n")
list(TRANSFORM packaged REPLACE " \\./usr/|\n" "")
set(expected ${installed_files})
list(SORT packaged)
list(SORT expected)
if(NOT packaged STREQUAL expected)
    message(FATAL_ERROR "the package holds\n${out}\nexpected ${expected}")
endif()

# Each library the executable links, the platform plugin Qt opens windows with and the font the
# dialogs ask for (its family as fontconfig resolves it here) is provided by a dependency, and
# nothing else is one.
set(root ${WORK}/root)
run(dpkg-deb --extract ${deb} ${root})
run(dpkg-deb --field ${deb} Depends)
string(REGEX REPLACE " \\([^)]*\\)|\n" "" depends "${out}")
string(REPLACE ", " ";" depends "${depends}")
run(objdump -p ${root}/usr/bin/duoptic)
string(REGEX MATCHALL "NEEDED +[^\n]+" needed "${out}")
list(TRANSFORM needed REPLACE "NEEDED +" "*/")
run(fc-match -f "%{file}" IPAPGothic)
foreach(file ${needed} */platforms/libqxcb.so ${out})
    owners("${file}")
    set(provided FALSE)
    foreach(package ${out})
        if(package IN_LIST depends)
            set(provided TRUE)
        endif()
    endforeach()
    if(NOT provided)
        message(FATAL_ERROR "${file} (${out}) is in no dependency: ${depends}")
    endif()
    list(APPEND used ${out})
endforeach()
list(REMOVE_ITEM depends ${used})
if(depends)
    message(FATAL_ERROR "dependencies the program does not use: ${depends}")
endif()

run(apt-get install --simulate ${deb})

# The version the executable prints is the package's; it shows a pair and ends on SIGTERM. The
# script holds no semicolon, which would split it into CMake list items.
run(dpkg-deb --field ${deb} Version)
set(version "${out}")
get_filename_component(pair_name ${PAIR} NAME_WE)
file(COPY ${PAIR} DESTINATION ${WORK}/pair)
get_filename_component(pair ${PAIR} NAME)
set(ENV{HOME} ${WORK})
set(ENV{XDG_CONFIG_HOME} ${WORK}/config)
run(xvfb-run --auto-servernum sh -c [[
    "$1" --version || exit
    "$1" "$2" &
    viewer=$!
    if ! timeout 30 xdotool search --sync --onlyvisible --name "$3" > /dev/null
    then
        kill $viewer
        exit 3
    fi
    kill -TERM $viewer
    wait $viewer
]] sh ${root}/usr/bin/duoptic ${WORK}/pair/${pair} ${pair_name})
if(NOT out STREQUAL "duoptic ${version}")
    message(FATAL_ERROR "the packaged executable says '${out}', the package is ${version}")
endif()

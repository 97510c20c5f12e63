# Packages the build with cpack and checks the .deb without installing it: no lintian error,
# every installed file and no other, dependencies that are exactly the packages of what the
# program loads, resolved by apt here, and an executable that runs in an X server of its own.
#   cmake -DBUILD=<build folder> -DWORK=<scratch folder> -DPAIR=<a pair file> -P check_package.cmake
include(${CMAKE_CURRENT_LIST_DIR}/install_checks.cmake)

file(REMOVE_RECURSE ${WORK})
run(${CMAKE_CPACK_COMMAND} --config ${BUILD}/CPackConfig.cmake -B ${WORK})
file(GLOB deb ${WORK}/*.deb)
run(lintian --fail-on error ${deb})
message("${out}")
run(apt-get install --simulate ${deb})
# No maintainer scripts: the system's triggers do all they would.
run(dpkg-deb --control ${deb} ${WORK}/control)
file(GLOB control RELATIVE ${WORK}/control ${WORK}/control/*)
if(NOT control STREQUAL "control;md5sums")
    message(FATAL_ERROR "the package carries ${control}")
endif()

run(dpkg-deb --contents ${deb})
string(REGEX MATCHALL "\\./usr/[^\n]*[^/\n]\n" packaged "${out}\n")
list(TRANSFORM packaged REPLACE "\\./usr/|\n" "")
list(SORT packaged)
list(SORT installed_files)
if(NOT packaged STREQUAL installed_files)
    message(FATAL_ERROR "the package holds\n${out}")
endif()

# The owners of the libraries the executable links, of the platform plugin Qt opens windows with
# and of the font the dialogs ask for, as this system resolves them.
run(dpkg-deb --extract ${deb} ${WORK}/root)
run(objdump -p ${WORK}/root/usr/bin/duoptic)
string(REGEX MATCHALL "NEEDED +[^\n]+" loaded "${out}")
list(TRANSFORM loaded REPLACE "NEEDED +" "*-linux-gnu*/")
run(fc-match -f "%{file}" IPAPGothic)
run(dpkg-query --search ${loaded} */platforms/libqxcb.so ${out})
string(REGEX REPLACE ":[a-z0-9]+|: [^\n]*" "" owners "${out}")
string(REGEX REPLACE "[\n, ]+" ";" owners "${owners}")
run(dpkg-deb --field ${deb} Depends)
string(REGEX REPLACE " \\([^)]*\\)" "" depends "${out}")
string(REPLACE ", " ";" depends "${depends}")
list(REMOVE_DUPLICATES owners)
list(SORT owners)
list(SORT depends)
if(NOT owners STREQUAL depends)
    message(FATAL_ERROR "the package depends on ${depends}; the program loads ${owners}")
endif()

# The executable prints the package's version, shows a pair in an X window (whatever platform
# the tests run on) and ends on SIGTERM. The script holds no semicolon: CMake would split it.
run(dpkg-deb --field ${deb} Version)
get_filename_component(pair_name ${PAIR} NAME_WE)
set(ENV{HOME} ${WORK})
unset(ENV{XDG_CONFIG_HOME})
set(ENV{QT_QPA_PLATFORM} xcb)
run(xvfb-run --auto-servernum sh -c [[
    "$1" --version | grep -qxF "duoptic $4" || exit 4
    "$1" "$2" &
    viewer=$!
    if ! timeout 30 xdotool search --sync --onlyvisible --name "$3" > /dev/null
    then
        kill $viewer
        exit 3
    fi
    kill -TERM $viewer
    wait $viewer
]] sh ${WORK}/root/usr/bin/duoptic ${PAIR} ${pair_name} ${out})

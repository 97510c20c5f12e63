# Builds a MIME database from the package file alone and asks GIO, which reads the system's
# types too, what it makes of real stereo files under names with and without an extension.
#   cmake -DMIME_XML=<package file> -DSTEREO=<folder of samples> -DWORK=<scratch> -P ...
find_program(update_mime update-mime-database REQUIRED)
find_program(gio gio REQUIRED)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/share/mime/packages ${WORK}/files)
# In the search path, so that update-mime-database has no reason to say anything.
set(ENV{XDG_DATA_DIRS} "${WORK}/share:/usr/local/share:/usr/share")
set(ENV{XDG_DATA_HOME} "${WORK}/no-user-data")
file(COPY_FILE ${MIME_XML} ${WORK}/share/mime/packages/duoptic.xml)
execute_process(COMMAND ${update_mime} ${WORK}/share/mime RESULT_VARIABLE status
                ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "update-mime-database: ${status}\n${err}")
endif()

# name in the scratch folder | sample it is a copy of | type expected
set(cases
    "pair.mpo|sugarshack.mpo|image/x-mpo"
    "PAIR.MPO|sugarshack.mpo|image/x-mpo"
    "broken.mpo|sugarshack_no_data.mpo|image/x-mpo"
    "side.jps|02-super-mario.jps|image/x-jps"
    "Side.JPS|02-super-mario.jps|image/x-jps"
    "phone_no_extension|frame_size.mpo|image/x-mpo"
    "plain_no_extension|aloeL.jpg|image/jpeg"
    "mpo_named.jpg|sugarshack.mpo|image/jpeg")
foreach(case ${cases})
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 sample)
    list(GET fields 2 want)
    file(COPY_FILE ${STEREO}/${sample} ${WORK}/files/${name})
    execute_process(COMMAND ${gio} info -a standard::content-type ${WORK}/files/${name}
                    OUTPUT_VARIABLE info RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT info MATCHES "content-type: ([^\n]*)")
        message(FATAL_ERROR "gio info ${name} failed: ${status}\n${info}")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL want)
        message(SEND_ERROR "${name} (a copy of ${sample}) is ${CMAKE_MATCH_1}, not ${want}")
    endif()
endforeach()

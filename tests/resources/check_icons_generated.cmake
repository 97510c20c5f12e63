# The committed icons are what the generator makes today: a change to the pixel map that was
# not followed by a run of the generator fails here.
#   cmake -DPYTHON=<python3> -DGENERATOR=<draw_icon.py> -DRESOURCES=<src/resources> -DWORK=...
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${PYTHON} ${GENERATOR} ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${GENERATOR} failed: ${status}")
endif()
file(GLOB_RECURSE made RELATIVE ${WORK} ${WORK}/*)
file(GLOB committed RELATIVE ${RESOURCES} ${RESOURCES}/icons/* ${RESOURCES}/duoptic.png)
list(SORT made)
list(SORT committed)
if(NOT made STREQUAL committed)
    message(FATAL_ERROR "the generator makes ${made}, the repository holds ${committed}")
endif()
foreach(file ${made})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${file}
                            ${RESOURCES}/${file} RESULT_VARIABLE differs)
    if(differs)
        message(SEND_ERROR "${file} differs from the generator's output: run tools/draw_icon")
    endif()
endforeach()

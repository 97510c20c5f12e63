# Runs PROGRAM with ARGS ("|" between arguments) and checks its exit status and that standard
# output and standard error match the regular expressions OUT and ERR.
string(REPLACE "|" ";" arguments "${ARGS}")
execute_process(COMMAND ${PROGRAM} ${arguments}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${STATUS}\nstdout: ${out}\nstderr: ${err}")
endif()
if(NOT out MATCHES "${OUT}")
    message(FATAL_ERROR "stdout does not match '${OUT}':\n${out}")
endif()
if(NOT err MATCHES "${ERR}")
    message(FATAL_ERROR "stderr does not match '${ERR}':\n${err}")
endif()

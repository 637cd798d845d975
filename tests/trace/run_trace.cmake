# Runs TOOL with SCRIPT on standard input and compares its output with EXPECTED.
# EMULATOR, when set, runs TOOL (wine.sh for the Windows build).
execute_process(COMMAND ${EMULATOR} ${TOOL} INPUT_FILE ${SCRIPT} OUTPUT_VARIABLE actual
                ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TOOL} exited with ${status}: ${errors}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${ACTUAL} "${actual}")
  message(FATAL_ERROR "output differs from ${EXPECTED}; actual output saved in ${ACTUAL}\n"
                      "diff: diff ${EXPECTED} ${ACTUAL}")
endif()

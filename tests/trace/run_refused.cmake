# Runs TOOL with INPUT (a two-line script) and expects status 2 and a message naming line 2.
# EMULATOR, when set, runs TOOL (wine.sh for the Windows build).
string(REPLACE "\\n" "\n" script "${INPUT}")
# One input file per script, so tests running side by side never share one.
string(MD5 name "${INPUT}")
set(input ${CMAKE_CURRENT_BINARY_DIR}/refused-${name}.txt)
file(WRITE ${input} "${script}\n")
execute_process(COMMAND ${EMULATOR} ${TOOL} INPUT_FILE ${input}
                OUTPUT_VARIABLE out ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "expected status 2, got ${status}")
endif()
if(NOT errors MATCHES "line 2:")
  message(FATAL_ERROR "the message does not name line 2: ${errors}")
endif()

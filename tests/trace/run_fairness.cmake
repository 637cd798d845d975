# Runs the fairness report (TOOL) on a few turns: it must end with status 0 and print its table.
# EMULATOR, when set, runs TOOL (wine.sh for the Windows build).
execute_process(COMMAND ${EMULATOR} ${TOOL} --seeds 3 --turns 4 RESULT_VARIABLE result OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
message("${out}${err}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "vantu-fairness ended with ${result}")
endif()
if(NOT out MATCHES "\\| re-throws \\| [0-9]+ \\|")
  message(FATAL_ERROR "no re-throws row in the table")
endif()

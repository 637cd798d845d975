# vantu-bmpdump on a good picture (with --ppm) and on a missing file.
execute_process(COMMAND ${DUMP} ${PICTURE} --ppm ${OUT}/dump.ppm
                RESULT_VARIABLE result OUTPUT_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "^ok 64 64 [0-9a-f]+\n$")
  message(FATAL_ERROR "good picture: exit ${result}, output '${output}'")
endif()
file(SIZE ${OUT}/dump.ppm ppmSize)
file(READ ${OUT}/dump.ppm ppmHead LIMIT 13)
if(NOT ppmSize EQUAL 12301 OR NOT ppmHead STREQUAL "P6\n64 64\n255\n")
  message(FATAL_ERROR "bad PPM: ${ppmSize} bytes, header '${ppmHead}'")
endif()

execute_process(COMMAND ${DUMP} ${OUT}/missing.bmp RESULT_VARIABLE result OUTPUT_VARIABLE output)
if(NOT result EQUAL 1 OR NOT output STREQUAL "error Failed to open DIB file ${OUT}/missing.bmp.\n")
  message(FATAL_ERROR "missing file: exit ${result}, output '${output}'")
endif()

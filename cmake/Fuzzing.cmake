# VANTU_FUZZ=ON (preset "fuzz", clang): everything is instrumented for libFuzzer, with
# AddressSanitizer and UndefinedBehaviorSanitizer, and tests/fuzz builds the fuzz targets.
option(VANTU_FUZZ "Build the libFuzzer targets (clang)" OFF)
if(VANTU_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VANTU_FUZZ needs clang: configure with the fuzz preset")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Compiler settings shared by every target of the project.
#
# The dice simulation must give bit-identical doubles on every x86-64 machine, so
# nothing may contract a*b+c into a fused multiply-add or flush subnormals.
add_compile_options(-ffp-contract=off)

# vantu_target_warnings(target): the project's warning set, errors on GCC.
function(vantu_target_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wcast-qual -Wformat=2 -Wundef
    -Wnon-virtual-dtor -Wimplicit-fallthrough -Wmissing-declarations)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Werror -Wlogical-op -Wduplicated-cond)
  endif()
endfunction()

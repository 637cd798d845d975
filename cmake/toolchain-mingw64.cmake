# Cross build for 64-bit Windows with Debian's MinGW-w64 (the -posix variants: std::thread and
# std::mutex). Everything is linked statically, so the programs need no MinGW DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTU_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTU_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTU_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTU_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTU_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Shared by the mingw-w64 toolchain files: cross-compiles for Windows with
# Debian's mingw-w64 GCC and runs the built programs under wine. The posix
# thread model's C++ library has the std::mutex GoogleTest needs; its
# winpthread is linked statically like the rest of the runtime.
#
# Expects MINGW_TRIPLET, CMAKE_SYSTEM_PROCESSOR and WINE_NAME (the wine loader
# for this word size) to be set.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests start the Windows programs through this. Debian keeps the loaders of
# both word sizes in /usr/lib/wine.
find_program(WINE_LOADER ${WINE_NAME} HINTS /usr/lib/wine)
if(WINE_LOADER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_LOADER})
endif()

# Shared by the Linux cross toolchain files: cross-compiles with Debian's
# TRIPLET-gcc and runs the built programs under qemu user emulation
# (QEMU_NAME), on machines that execute no program of that architecture
# themselves. The emulated programs load the C and C++ runtimes of the cross
# toolchain, all of them: a libc of the host's own packages for the
# architecture beside the toolchain's loader can hang the first thread.
#
# Expects CMAKE_SYSTEM_PROCESSOR, TRIPLET and QEMU_NAME to be set.
set(CMAKE_SYSTEM_NAME Linux)
set(sysroot /usr/${TRIPLET})

set(CMAKE_C_COMPILER ${TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH ${sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(QEMU_USER ${QEMU_NAME})
if(QEMU_USER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_USER} -L ${sysroot} -E LD_LIBRARY_PATH=${sysroot}/lib)
endif()

# 32-bit x86 Linux, cross-built with Debian's i686-linux-gnu GCC and run
# under qemu user emulation: the 32-bit, SSE2 computation, tested on machines
# that execute no 32-bit program themselves. The emulated programs load the
# C and C++ runtimes of the cross toolchain, all of them: a libc of the host's
# own i386 packages beside the toolchain's loader hangs the first thread.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triplet i686-linux-gnu)
set(sysroot /usr/${triplet})

set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)

set(CMAKE_FIND_ROOT_PATH ${sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(QEMU_I386 qemu-i386)
if(QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_I386} -L ${sysroot} -E LD_LIBRARY_PATH=${sysroot}/lib)
endif()

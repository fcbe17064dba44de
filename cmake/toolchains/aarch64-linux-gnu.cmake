# 64-bit Arm Linux, run under qemu-aarch64: the NEON variants, tested on an
# x86-64 machine.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TRIPLET aarch64-linux-gnu)
set(QEMU_NAME qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/CrossLinux.cmake)

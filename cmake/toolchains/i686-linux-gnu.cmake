# 32-bit x86 Linux (.mexglx), run under qemu-i386: the 32-bit, SSE2
# computation, tested on machines that execute no 32-bit program themselves.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TRIPLET i686-linux-gnu)
set(QEMU_NAME qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/CrossLinux.cmake)

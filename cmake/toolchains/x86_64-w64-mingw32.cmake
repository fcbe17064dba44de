# 64-bit Windows (.mexw64), run under wine64.
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(WINE_NAME wine64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)

# 32-bit Windows (.mexw32), run under the 32-bit wine.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(WINE_NAME wine)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)

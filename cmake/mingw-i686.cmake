# The shipped 32-bit build. Its console programs and tests run under Wine's WoW64 mode, as
# 32-bit programs on 64-bit Windows.
set(VANTIK_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

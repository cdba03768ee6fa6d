# The shipped 32-bit build. Wine here cannot run it, so it is built and checked, not run.
set(VANTIK_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

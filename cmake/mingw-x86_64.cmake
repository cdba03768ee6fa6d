# A 64-bit build of the same sources, only for the dialog program's GUI tests: Wine's WoW64
# mode shows no window, so the shipped 32-bit dialog program cannot be driven here.
set(VANTIK_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

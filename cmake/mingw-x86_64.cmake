# The 64-bit build: the one whose tests run here under Wine.
set(VANTIK_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Each test program runs in a fresh Wine prefix; the template is made once per build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run;--template;${CMAKE_BINARY_DIR}/wine-template)

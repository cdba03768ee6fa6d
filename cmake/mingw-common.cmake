# Shared by the two MinGW toolchain files, which set VANTIK_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VANTIK_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${VANTIK_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${VANTIK_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VANTIK_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Each test program runs in a fresh Wine prefix, copied from one template that both Windows
# builds share: it is made once (wineboot, about half a minute).
get_filename_component(VANTIK_WINE_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/../build/wine-template
                       ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run;--template;${VANTIK_WINE_TEMPLATE})

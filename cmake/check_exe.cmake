# vantik_check_exe(TARGET): checks the program TARGET (scripts/check-exe) on every build that
# ships it: only the DLLs Windows always takes from the system folder imported statically, no
# delay imports, and for the 32-bit build nothing that Windows 2000 lacks. Every program we
# ship calls it.
function(vantik_check_exe target)
  # The GUI tests' 64-bit build is not shipped.
  if(VANTIK_GUI_TEST_BUILD)
    return()
  endif()
  add_test(NAME ${target}_exe_check
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-exe ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}>)
endfunction()

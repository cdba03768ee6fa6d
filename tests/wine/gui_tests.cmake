# The dialog program's GUI tests, in the 64-bit build.
# The main dialog driven as a user would, under Wine on a private Xvfb: a driver program presses
# the buttons of vantik.exe, reads its result list, exports the diagnostic archive through the
# Save As dialog and keeps screenshots in build/.../screenshots. The script then checks the
# archive with unzip and python's zipfile.
add_executable(gui_driver gui_driver.cpp)
target_link_libraries(gui_driver PRIVATE vantik_options advapi32 user32 gdi32)
# The VPN client's service, as a real service program that the prefix's service manager runs.
add_executable(stand_in_service stand_in_service.cpp)
target_link_libraries(stand_in_service PRIVATE vantik_options advapi32)

# The script, not the driver, is the command: it needs its own display and a virtual desktop, so
# it calls scripts/wine-run itself instead of going through the cross-compiling emulator.
# On the prefix's default, Windows 7: every button, then the export with its hotfix list.
add_test(NAME gui_main_dialog
  COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/run-gui-test $<TARGET_FILE:gui_driver>
          $<TARGET_FILE:vantik> ${CMAKE_BINARY_DIR}/screenshots)
# On Windows XP the export has no hotfix unit and the archive holds the log alone.
add_test(NAME gui_export_windows_xp
  COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/run-gui-test --windows-version winxp --export-only
          $<TARGET_FILE:gui_driver> $<TARGET_FILE:vantik> ${CMAKE_BINARY_DIR}/screenshots-windows-xp)
# An export over an older archive on a drive too small for the new one (a small tmpfs as drive
# E:, mounted as root): the failure is shown, the older archive stays byte for byte.
add_test(NAME gui_export_over_full_drive
  COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/export-over-full-drive
          ${PROJECT_SOURCE_DIR}/tests/wine/run-gui-test $<TARGET_FILE:gui_driver>
          $<TARGET_FILE:vantik> ${CMAKE_BINARY_DIR}/screenshots-full-drive)
# An export into a folder that does not exist: the failure is shown and nothing is written.
set(missing_folder_shots ${CMAKE_BINARY_DIR}/screenshots-missing-folder)
string(REPLACE "/" "\\" missing_folder_archive
       "Z:${missing_folder_shots}/no such folder/Vantik export.zip")
add_test(NAME gui_export_into_missing_folder
  COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/run-gui-test --export-only
          --archive "${missing_folder_archive}"
          --closing-line "导出失败!"
          --closing-line "压缩文件写入失败，文件夹不存在或无法访问! 错误代码 [3]"
          $<TARGET_FILE:gui_driver> $<TARGET_FILE:vantik> ${missing_folder_shots})
# The export runs real commands: up to two minutes on top of the dialog's own steps.
set_tests_properties(gui_main_dialog gui_export_windows_xp gui_export_over_full_drive
                     gui_export_into_missing_folder PROPERTIES
  TIMEOUT 480
  ENVIRONMENT VANTIK_WINE_TEMPLATE=${VANTIK_WINE_TEMPLATE})

# A prefix with three of the diagnosis's findings (client_findings_prepare): the client's service
# installed and stopped, made from a real service program; a hosts file that redirects names; a
# proxy without a local bypass. The rows show 异常 and their details (opened by double-click and
# by Enter) name the findings; 一键修复 starts the service and its row turns 正常, and the service
# still runs once the program has ended (client_findings_after, with the services kept); the
# exported report's findings section lists what is left (check_findings_section.py).
set(client_findings_out ${CMAKE_BINARY_DIR}/screenshots-client-findings)
add_test(NAME gui_client_findings
  COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/run-gui-test --client-findings --keep-services
          --prepare ${CMAKE_CURRENT_SOURCE_DIR}/client_findings_prepare
          --after ${CMAKE_CURRENT_SOURCE_DIR}/client_findings_after
          --check ${CMAKE_CURRENT_SOURCE_DIR}/check_findings_section.py
          $<TARGET_FILE:gui_driver> $<TARGET_FILE:vantik> ${client_findings_out})
set_tests_properties(gui_client_findings PROPERTIES
  TIMEOUT 480
  ENVIRONMENT "VANTIK_WINE_TEMPLATE=${VANTIK_WINE_TEMPLATE};VANTIK_STAND_IN_SERVICE=$<TARGET_FILE:stand_in_service>")

# The shipped console program, the 32-bit build's, beside this build's dialog program.
set(VANTIK_SHIPPED_CLI "" CACHE FILEPATH
    "vantik-cli.exe of the shipped 32-bit build, which the GUI tests run beside the dialog")
if(NOT EXISTS "${VANTIK_SHIPPED_CLI}")
  message(FATAL_ERROR "VANTIK_SHIPPED_CLI must name the 32-bit build's vantik-cli.exe "
                      "(scripts/build mingw-x86_64 builds and names it)")
endif()
# The console program as a support script runs it, in the prefix where the GUI has just
# exported: diagnose, export (its entries against the GUI's archive), an export refused over an
# existing file, repair (the registry read back), diagnose again, a bad option and a refusal beside
# "vantik-cli.exe.local". A watcher program runs each and must see no window of it appear; the
# GUI's display makes any window real. The console program is 32-bit and the dialog program
# 64-bit: the system tools' stand-ins in syswow64 serve the first alone.
add_executable(cli_window_watcher cli_window_watcher.cpp)
target_link_libraries(cli_window_watcher PRIVATE vantik_options user32)
set(cli_out ${CMAKE_BINARY_DIR}/cli-scripted)
add_test(NAME cli_scripted_support
  COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/run-gui-test --export-only
          --prepare ${CMAKE_CURRENT_SOURCE_DIR}/cli_prepare
          --prepare ${CMAKE_CURRENT_SOURCE_DIR}/plant-tool-stand-ins
          --after ${CMAKE_CURRENT_SOURCE_DIR}/cli_after.py
          $<TARGET_FILE:gui_driver> $<TARGET_FILE:vantik> ${cli_out})
set_tests_properties(cli_scripted_support PROPERTIES
  TIMEOUT 600
  ENVIRONMENT "VANTIK_WINE_TEMPLATE=${VANTIK_WINE_TEMPLATE};VANTIK_CLI_EXE=${VANTIK_SHIPPED_CLI};VANTIK_WATCHER_EXE=$<TARGET_FILE:cli_window_watcher>;VANTIK_CLI_OUT=${cli_out};VANTIK_TOOL_STAND_IN=$<TARGET_FILE:system_tool_stand_in>")

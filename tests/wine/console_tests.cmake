# What opens no window, in the shipped 32-bit build: the programs run as 32-bit ones on 64-bit
# Windows.

# The two checks and their repairs against Wine's real registry; each test starts from the
# registry as Wine made it.
vantik_test(checks_on_real_registry_test PREFIX_PER_TEST checks_on_real_registry_test.cpp)

# The console program's export in a fresh prefix, its archive and JSON document checked, with
# the stand-ins of the system tools where only 32-bit programs find them.
# vantik_cli_export_test(NAME [--windows-version V] [--prepare S]... [--check S]... ENV VAR=VALUE...)
function(vantik_cli_export_test name)
  cmake_parse_arguments(TEST "" "" "ENV" ${ARGN})
  add_test(NAME ${name}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/run-cli-export-test ${TEST_UNPARSED_ARGUMENTS}
            $<TARGET_FILE:vantik-cli> $<TARGET_FILE:system_tool_stand_in>
            ${CMAKE_CURRENT_BINARY_DIR}/${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 360
    ENVIRONMENT "VANTIK_WINE_TEMPLATE=${VANTIK_WINE_TEMPLATE};VANTIK_PROGRAM=vantik-cli.exe;VANTIK_PROGRAM_BITS=32;VANTIK_DESKTOP_SHELL=$<TARGET_FILE:desktop_shell>;${TEST_ENV}")
endfunction()

# The system, software and process sections filled from the prefix, on Windows XP, Vista and 7:
# the prefix is seeded with programs and hotfixes in both registry views, and the log's sections
# are checked as bytes; the program's own view, the 32-bit one, comes first.
foreach(case "winxp|Microsoft Windows XP Service Pack 3"
             "vista|Microsoft Windows vista Service Pack 2"
             "win7|Microsoft Windows 7 Service Pack 1")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 version)
  list(GET case 1 os_text)
  vantik_cli_export_test(cli_export_system_sections_${version}
    --windows-version ${version}
    --prepare ${CMAKE_CURRENT_SOURCE_DIR}/seed_installed_software.sh
    --check ${CMAKE_CURRENT_SOURCE_DIR}/check_system_sections.py
    ENV "VANTIK_EXPECTED_OS=${os_text}")
endforeach()

# The network, browser, client and hosts sections of a real export: routes and adapters from
# Wine's own, a seeded browser configuration and virtual adapter entry (whose binding list is
# read back after the export), and the prefix's hosts file, which the file system does not
# redirect for a 32-bit program. Eight hours east of UTC, so that the hosts times show in local
# time.
set(network_out ${CMAKE_CURRENT_BINARY_DIR}/network-sections)
vantik_cli_export_test(cli_export_network_sections
  --prepare ${CMAKE_CURRENT_SOURCE_DIR}/network_sections_prepare
  --after ${CMAKE_CURRENT_SOURCE_DIR}/network_sections_after
  --check ${CMAKE_CURRENT_SOURCE_DIR}/check_network_sections.py
  ENV "VANTIK_NETWORK_OUT=${network_out}" "TZ=CST-8")

# Planted DLLs: vantik-cli.exe run from a Downloads folder that holds DLLs of our making under
# the names of the system DLLs it uses (and its working folder too) must run none of them, and
# must start its commands by full path in the system folder. The control program imports the
# IP helper statically, as the program must not, and so takes the planted DLL: it shows that
# the set-up plants for real.
add_library(planted_dll SHARED planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES PREFIX "" OUTPUT_NAME planted)
# Exported by its plain name, as the system's DLL does, also where stdcall names are decorated.
target_link_options(planted_dll PRIVATE -Wl,--kill-at)
target_link_libraries(planted_dll PRIVATE vantik_options)
add_executable(planting_control planting_control.cpp)
target_link_libraries(planting_control PRIVATE vantik_options iphlpapi)
add_test(NAME cli_planted_dlls
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/run-planting-test
          $<TARGET_FILE:vantik-cli> $<TARGET_FILE:planted_dll>
          $<TARGET_FILE:planting_control> ${CMAKE_BINARY_DIR}/planting)
# The same beside a "vantik-cli.exe.local" redirection: the program refuses to start.
add_test(NAME cli_planted_dlls_local_redirection
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/run-planting-test --local-redirection
          $<TARGET_FILE:vantik-cli> $<TARGET_FILE:planted_dll>
          $<TARGET_FILE:planting_control> ${CMAKE_BINARY_DIR}/planting-local-redirection)
set_tests_properties(cli_planted_dlls cli_planted_dlls_local_redirection PROPERTIES
  TIMEOUT 360
  ENVIRONMENT VANTIK_WINE_TEMPLATE=${VANTIK_WINE_TEMPLATE})

#!/usr/bin/env bash
# Seeds a fresh Wine prefix (scripts/wine-run --prepare) with the uninstall entries, hotfixes and
# renegotiation value that check_system_sections.py then looks for in the exported log.
set -euo pipefail
: "${WINE:?run through scripts/wine-run --prepare}"

uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
hotfix='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Hotfix'

add() { "$WINE" reg add "$@" /f >/dev/null; }

program() {  # KEY NAME [VERSION]
  add "$uninstall\\$1" /v DisplayName /d "$2"
  if [ $# -ge 3 ]; then add "$uninstall\\$1" /v DisplayVersion /d "$3"; fi
}

# Listed, in the order of their key names.
program VantikSeedA "Vantik Seed Program" 1.2.3
program VantikSeedB "Windows Installer 3.1 (KB893803)" 3.1.4000.2435
program VantikSeedC "测试软件" 2.0
program VantikSeedD "Vantik Long Version" 1.2.3.4.5.6.7.8.9.0
program VantikSeedE "Vantik No Version"
# Left out: a Windows update, a program named as a hotfix, an entry without a name.
program VantikSeedF "Security Update for Windows XP (KB958644)" 1
program VantikSeedG "Hotfix for Vantik (KB123456)" 1
add "$uninstall\\VantikSeedH" /v DisplayVersion /d 9.9

# Listed under the system section by their comments, in key order; SP9 names no hotfix.
add "$hotfix\\KB123456" /v Installed /t REG_DWORD /d 1
add "$hotfix\\KB123456" /v Comments /d "Hotfix for Vantik (KB123456)"
add "$hotfix\\kb777777" /v Installed /t REG_DWORD /d 1
add "$hotfix\\kb777777" /v Comments /d "Lower-case hotfix"
add "$hotfix\\KB888888" /v Installed /t REG_DWORD /d 0
add "$hotfix\\KB888888" /v Comments /d "Not installed"
add "$hotfix\\SP9" /v Installed /t REG_DWORD /d 1
add "$hotfix\\SP9" /v Comments /d "Not a hotfix name"

add 'HKLM\System\CurrentControlSet\Control\SecurityProviders\SCHANNEL' \
  /v DisableRenegoOnClient /t REG_DWORD /d 1

#!/usr/bin/env bash
# Seeds a fresh Wine prefix (scripts/wine-run --prepare) with the uninstall entries, hotfixes and
# renegotiation value that check_system_sections.py then looks for in the exported log, in both
# registry views: the 32-bit one (Software\Wow6432Node) where 32-bit programs, the shipped build
# and the VPN client among them, record themselves and which the shipped build sees as its own,
# and the 64-bit one.
set -euo pipefail
: "${WINE:?run through scripts/wine-run --prepare}"

uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
hotfix='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Hotfix'

add() { "$WINE" reg add "$@" /f >/dev/null; }

program() {  # VIEW KEY NAME [VERSION]
  add "$uninstall\\$2" /v DisplayName /d "$3" "/reg:$1"
  if [ $# -ge 4 ]; then add "$uninstall\\$2" /v DisplayVersion /d "$4" "/reg:$1"; fi
}

hotfix() {  # VIEW KEY INSTALLED COMMENTS
  add "$hotfix\\$2" /v Installed /t REG_DWORD /d "$3" "/reg:$1"
  add "$hotfix\\$2" /v Comments /d "$4" "/reg:$1"
}

# The 64-bit view, in the order of their key names.
program 64 VantikSeedA "Vantik Seed Program" 1.2.3
program 64 VantikSeedB "Windows Installer 3.1 (KB893803)" 3.1.4000.2435
program 64 VantikSeedC "测试软件" 2.0
program 64 VantikSeedD "Vantik Long Version" 1.2.3.4.5.6.7.8.9.0
program 64 VantikSeedE "Vantik No Version"
# Left out: a Windows update, a program named as a hotfix of this view and one named as a hotfix
# of the other, an entry without a name.
program 64 VantikSeedF "Security Update for Windows XP (KB958644)" 1
program 64 VantikSeedG "Hotfix for Vantik (KB123456)" 1
program 64 VantikSeedH "Vantik Tool 64" 6.4
add "$uninstall\\VantikSeedI" /v DisplayVersion /d 9.9 /reg:64

# The 32-bit view. The program of VantikSeedA is in both views and listed twice.
program 32 Vantik32A "Tovra VPN Client" 5.1.2
program 32 Vantik32B "Vantik Seed Program" 1.2.3
program 32 Vantik32C "三十二位工具" 3.2
# Left out: a program named as a hotfix of the other view, a Windows update.
program 32 Vantik32D "Hotfix for Vantik (KB123456)" 1
program 32 Vantik32E "Update for Windows 7 (KB2999226)" 1

# Listed under the system section by their comments, the program's own view's first, each in
# key order; SP9 names no hotfix, and a hotfix not installed is not listed.
hotfix 64 KB123456 1 "Hotfix for Vantik (KB123456)"
hotfix 64 kb777777 1 "Lower-case hotfix"
hotfix 64 KB888888 0 "Not installed"
hotfix 64 SP9 1 "Not a hotfix name"
hotfix 32 KB246810 1 "Vantik Tool 64"
hotfix 32 KB999999 0 "Not installed either"
hotfix 32 Q135790 1 "Thirty-two-bit hotfix"

add 'HKLM\System\CurrentControlSet\Control\SecurityProviders\SCHANNEL' \
  /v DisableRenegoOnClient /t REG_DWORD /d 1

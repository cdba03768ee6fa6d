#!/usr/bin/env python3
"""Checks the system, software and process sections of an archive exported under Wine from a
prefix seeded by seed_installed_software.sh, as the bytes of code page 936.

    check_system_sections.py ARCHIVE

The environment gives what differs between the tests: VANTIK_EXPECTED_OS, the Windows version
text of the prefix ("Microsoft Windows XP Service Pack 3"); VANTIK_PROGRAM, the exporting
program's file name ("vantik.exe", the default, driven by gui_driver.exe; or "vantik-cli.exe");
VANTIK_PROGRAM_BITS, 64 (the default) or 32 for the shipped program under Wine's WoW64 mode,
whose own registry view is the 32-bit one. The host and user names are the machine's own, which
is what Wine reports, but for the host name of a 32-bit program: Wine's WoW64 mode cannot start
its sockets library, so the report shows the empty name that gethostname's failure gives. Prints one PASS or FAIL line per check and exits 0
only when every check passed.
"""

import os
import pwd
import re
import socket
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_export_archive import check_log_sections, excerpt  # noqa: E402

CP = "gbk"


def gbk(text):
    return text.encode(CP)


PROGRAM = os.environ.get("VANTIK_PROGRAM", "vantik.exe").encode()
THIRTY_TWO_BIT = os.environ.get("VANTIK_PROGRAM_BITS", "64") == "32"
# The hotfixes by view, each in key order; the program's own view is listed first.
HOTFIXES_64 = b"Hotfix for Vantik (KB123456)\r\nLower-case hotfix\r\n"
HOTFIXES_32 = b"Vantik Tool 64\r\nThirty-two-bit hotfix\r\n"


SETTING = (b"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL"
           b"\\DisableRenegoOnClient Value is ")


def check_system(checks, text):
    os_text = os.environ.get("VANTIK_EXPECTED_OS", "")
    checks.expect(os_text != "", "VANTIK_EXPECTED_OS is set", os_text)
    size = rb"\d+\.\d\d (?:bytes|KB|MB|GB|TB|PB|EB)"
    expected = (
        re.escape(gbk("计算机名： ") + (b"" if THIRTY_TWO_BIT else socket.gethostname().encode())
                  + b"\r\n\r\n")
        + re.escape(gbk("操作系统： ") + os_text.encode() + b"\r\n\r\n")
        + re.escape(gbk("用户名： ") + pwd.getpwuid(os.getuid()).pw_name.encode() + b"\r\n")
        + re.escape(gbk("是否属于管理员组： 1\r\n\r\n"))
        + re.escape(gbk("物理内存： 共 ")) + rb"\d+\.\d\d GB, " + re.escape(gbk("使用率： "))
        + rb"\d{1,3}% \r\n"
        + re.escape(gbk("虚拟内存： 共 ")) + rb"\d+\.\d\d GB, " + re.escape(gbk("剩余 "))
        + rb"\d+\.\d\d GB\r\n"
        + rb"(?P<drives>(?:[A-Z]:\\: " + re.escape(gbk("共 ")) + size + b", "
        + re.escape(gbk("剩余 ")) + size + rb"\r\n)+)"
        + re.escape(b"\r\n" + gbk("Windows 补丁信息： \r\n"))
        + re.escape(b"\r\n" + SETTING + b"1.\r\nwarning:Please modify the reg value to 0.\r\n\r\n")
        + re.escape(HOTFIXES_32 + HOTFIXES_64 if THIRTY_TWO_BIT else HOTFIXES_64 + HOTFIXES_32))
    match = re.fullmatch(expected, text)
    if not checks.expect(match is not None, "SYSTEM INFO, line by line", repr(text)):
        return
    drives = re.findall(rb"^([A-Z]):", match.group("drives"), re.M)
    checks.expect(b"C" in drives and b"Z" in drives, "fixed drives C: and Z: listed", drives)


def check_software(checks, text):
    # The program's own view's programs, then the other view's, less those that the hotfixes of
    # either view and the update test take out.
    programs_64 = ("Vantik Seed Program   1.2.3\r\n"
                   "Windows Installer 3.1 (KB893803)   3.1.4000.2435\r\n"
                   "测试软件   2.0\r\n"
                   "Vantik Long Version   1.2.3.4.5.6.7.8....\r\n"
                   "Vantik No Version   \r\n")
    programs_32 = ("Tovra VPN Client   5.1.2\r\n"
                   "Vantik Seed Program   1.2.3\r\n"
                   "三十二位工具   3.2\r\n")
    expected = gbk("已安装软件：\r\n" + (programs_32 + programs_64 if THIRTY_TWO_BIT
                                        else programs_64 + programs_32))
    checks.expect(text == expected, "SOFTWARE INFO holds both views' programs less the filtered",
                  repr(text))
    checks.expect(gbk("测试软件") == bytes.fromhex("b2e2cad4c8edbcfe"), "GBK of the Chinese name")


def check_processes(checks, text):
    lines = text.split(b"\r\n")
    checks.expect(lines[-1] == b"", "PROCESS INFO ends with a line end", repr(text[-40:]))
    names = [line.lower() for line in lines[:-1]]
    checks.expect(all(name.endswith(b".exe") for name in names), "one executable per line",
                  repr(names))
    # services.exe and explorer.exe are 64-bit: a 32-bit program cannot read their modules and
    # names them by their image paths.
    for wanted in (b"services.exe", b"explorer.exe", PROGRAM):
        checks.expect(wanted in names, f"{wanted.decode()} is listed", repr(names))
    if PROGRAM == b"vantik.exe":
        # Wine lists processes in the order they started: the driver, the first program of the
        # fresh prefix, comes first, and the first is never taken.
        checks.expect(b"gui_driver.exe" not in names, "gui_driver.exe, the first, is not listed",
                      repr(names))


def check_sections(checks, parts):
    system, software, processes = parts[:3]
    check_system(checks, system)
    check_software(checks, software)
    check_processes(checks, processes)


if __name__ == "__main__":
    sys.exit(check_log_sections(sys.argv, __doc__, "system section", check_sections))

#!/usr/bin/env python3
"""Checks the archive that vantik.exe exported under Wine, with python's own zip reader.

    check_export_archive.py ARCHIVE ENTRY...

ENTRY... are the names the archive must hold, in order. Prints one PASS or FAIL line per check
and exits 0 only when every check passed.
"""

import os
import re
import sys
import time
import zipfile
import zlib

# What a damaged entry raises instead of returning.
READ_ERRORS = (zipfile.BadZipFile, zlib.error, EOFError, OSError)

# The log's banners, byte for byte: runs of "=" of differing lengths, not padded to one width.
BANNERS = [
    b"\r\n" + b"=" * 35 + b"SYSTEM INFO" + b"=" * 34 + b"\r\n",
    b"\r\n" + b"=" * 35 + b"SOFTWARE INFO" + b"=" * 32 + b"\r\n",
    b"\r\n" + b"=" * 35 + b"PROCESS INFO" + b"=" * 33 + b"\r\n",
    b"\r\n" + b"=" * 35 + b"IE BROWER INFO" + b"=" * 31 + b"\r\n",
    b"\r\n" + b"=" * 36 + b"ROUTE TABLE" + b"=" * 33 + b"\r\n",
    b"\r\n" + b"=" * 36 + b"ADAPTER INFO" + b"=" * 32 + b"\r\n",
    b"\r\n" + b"=" * 36 + b"TOVRA CLIENT" + b"=" * 34 + b"\r\n",
    b"\r\n" + b"=" * 36 + b"HOSTS" + b"=" * 32 + b"\r\n",
    b"\r\n" + b"=" * 36 + b"FINDINGS" + b"=" * 32 + b"\r\n",
    b"\r\n" + b"=" * 36 + b"CATALOG" + b"=" * 32 + b"\r\n",
]
BANNER_SIZES = [84, 84, 84, 84, 84, 84, 86, 77, 80, 79]

# What Wine's commands write after the last banner. "ipconfig /all" lists the loopback
# interface with its address (Windows itself leaves it out); Wine 8's "ipconfig /displaydns"
# only prints its usage line, which the DNS capture appends after the network capture.
IPCONFIG_ALL_MARK = b"127.0.0.1"
DISPLAYDNS_MARK = b"ipconfig [ /? | /all ]"

# A 32-bit program's commands under Wine's WoW64 mode: its shell, system32's cmd.exe, is the
# syswow64 copy by the file system's redirection, and so are the tools it names. Wine's own
# 32-bit tools cannot start there (their sockets library fails to load), so the tests put
# stand-ins (system_tool_stand_in.cpp) in syswow64 alone, and VANTIK_SYSTEM_TOOLS=stand-ins
# makes this check expect their lines, each naming the copy that ran and its arguments, in the
# order the captures run them: a tool that ran from system32 would have printed Wine's output.
STAND_IN = rb"stand-in C:\\windows\\syswow64\\"
STAND_IN_LOG = [STAND_IN + rb"ipconfig\.exe\|/all *\r\n",
                STAND_IN + rb"netsh\.exe\|winsock show catalog *\r\n",
                STAND_IN + rb"ipconfig\.exe\|/displaydns *\r\n"]
STAND_IN_HOTFIXES = STAND_IN + rb"wbem\\wmic\.exe\|qfe list brief *\r\n"


def stand_ins():
    return os.environ.get("VANTIK_SYSTEM_TOOLS") == "stand-ins"


# Entries are dated from the temporary file's local write time, in the 2-second DOS form.
DATE_TOLERANCE_S = 600


class Checks:
    def __init__(self):
        self.failed = 0
        self.total = 0

    def expect(self, ok, what, detail=""):
        print(f"{'PASS' if ok else 'FAIL'} {what}: {detail}", flush=True)
        self.total += 1
        if not ok:
            self.failed += 1
        return ok


def excerpt(data, limit=160):
    text = repr(data[:limit])
    return text + ("..." if len(data) > limit else "")


def archive_log(argv, usage):
    """Vantik.log of the archive that the one argument names; None, with the usage on the
    standard error, for any other arguments."""
    if len(argv) != 2:
        print(usage, file=sys.stderr)
        return None
    with zipfile.ZipFile(argv[1]) as archive:
        return archive.read("Vantik.log")


def sections(log):
    """The texts after each of the ten banners: the nine sections, then the commands' output
    after the last banner. None when a banner is missing or out of order."""
    bounds = []
    position = 0
    for banner in BANNERS:
        found = log.find(banner, position)
        if found < 0:
            return None
        position = found + len(banner)
        bounds.append((found, position))
    ends = [start for start, _ in bounds[1:]] + [len(log)]
    return [log[after:end] for (_, after), end in zip(bounds, ends)]


def check_log_sections(argv, usage, what, check):
    """Runs check(checks, parts) on the sections of Vantik.log (sections()) in the archive that
    the one argument names, once they are all there, and prints how many of the `what` checks
    failed. Returns the exit code: 2 for other arguments (the usage goes to the standard error),
    1 when a banner is missing or a check failed, else 0."""
    log = archive_log(argv, usage)
    if log is None:
        return 2
    checks = Checks()
    parts = sections(log)
    if checks.expect(parts is not None, "Vantik.log has its ten banners", excerpt(log)):
        check(checks, parts)
    print(f"{checks.total} {what} checks, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


def check_log(checks, log):
    assert [len(b) for b in BANNERS] == BANNER_SIZES, "banner table is wrong"
    checks.expect(log.startswith(BANNERS[0]), "Vantik.log starts with the first banner",
                  excerpt(log, 90))
    # Each banner after the one before, so that the check holds once the sections have text.
    position = 0
    for number, banner in enumerate(BANNERS, 1):
        found = log.find(banner, position)
        if not checks.expect(found >= 0, f"Vantik.log banner {number}",
                             f"at byte {found}" if found >= 0 else
                             f"{banner!r} not found after byte {position}"):
            return
        position = found + len(banner)

    tail = log[position:]
    checks.expect(len(tail) > 0, "Vantik.log has command output after the last banner",
                  f"{len(tail)} bytes")
    # The ten banners are all: the commands' output must not hold another piece of the report.
    checks.expect(b"\r\n" + b"=" * 30 not in tail, "no banner after the last one", excerpt(tail))
    if stand_ins():
        expected = b"".join(STAND_IN_LOG)
        checks.expect(re.fullmatch(expected, tail) is not None,
                      "the syswow64 stand-ins of ipconfig /all, netsh and ipconfig /displaydns "
                      "after the last banner", excerpt(tail, 400))
        return
    all_at = tail.find(IPCONFIG_ALL_MARK)
    checks.expect(all_at >= 0, "output of ipconfig /all after the last banner",
                  f"{IPCONFIG_ALL_MARK!r} at byte {all_at}" if all_at >= 0 else excerpt(tail))
    dns_at = tail.rfind(DISPLAYDNS_MARK)
    checks.expect(dns_at > all_at >= 0, "output of ipconfig /displaydns after ipconfig /all",
                  f"{DISPLAYDNS_MARK!r} at byte {dns_at}" if dns_at >= 0 else
                  f"{DISPLAYDNS_MARK!r} not found; end: {tail[-160:]!r}")


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    path, expected = argv[1], argv[2:]
    checks = Checks()
    if not checks.expect(zipfile.is_zipfile(path), "archive is a zip file", path):
        return 1
    with zipfile.ZipFile(path) as archive:
        infos = archive.infolist()
        names = [info.filename for info in infos]
        checks.expect(names == expected, "entries in order", f"{names}, expected {expected}")
        try:
            bad = archive.testzip()
        except READ_ERRORS as error:
            bad = f"({error})"
        checks.expect(bad is None, "every entry reads back with its CRC",
                      "all good" if bad is None else f"first bad entry {bad}")
        checks.expect(archive.comment == b"", "no archive comment", repr(archive.comment))
        # The archive is written last; its entries were written a little before it.
        written = os.path.getmtime(path)
        for info in infos:
            name = info.filename
            checks.expect(info.compress_type == zipfile.ZIP_DEFLATED, f"{name} is deflated",
                          f"method {info.compress_type}")
            try:
                data = archive.read(info)
            except READ_ERRORS as error:
                checks.expect(False, f"{name} reads back", str(error))
                continue
            checks.expect(len(data) == info.file_size, f"{name} size",
                          f"{len(data)} bytes read, {info.file_size} recorded, "
                          f"{info.compress_size} compressed")
            checks.expect(info.extra == b"" and info.comment == b"",
                          f"{name} has no extra field and no comment",
                          f"extra {info.extra!r}, comment {info.comment!r}")
            dated = time.mktime(info.date_time + (0, 0, -1))
            checks.expect(abs(dated - written) <= DATE_TOLERANCE_S,
                          f"{name} is dated from its local write time",
                          f"{time.strftime('%Y-%m-%d %H:%M:%S', info.date_time + (0, 0, -1))}, "
                          f"archive written "
                          f"{time.strftime('%Y-%m-%d %H:%M:%S', time.localtime(written))}")
            if name == "Vantik.log":
                check_log(checks, data)
            elif stand_ins() and name == "WindowsUpdate.log":
                checks.expect(re.fullmatch(STAND_IN_HOTFIXES, data) is not None,
                              "WindowsUpdate.log holds the syswow64 stand-in of wmic", excerpt(data))
            else:
                print(f"NOTE {name}: {len(data)} bytes, starts {excerpt(data, 80)}")
    print(f"{checks.total} archive checks, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))

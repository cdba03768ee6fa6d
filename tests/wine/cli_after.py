#!/usr/bin/env python3
"""vantik-cli.exe as a support script runs it, under Wine, in the prefix where the GUI has just
exported (tests/wine/run-gui-test --export-only --prepare cli_prepare --after cli_after.py).

The prefix was seeded with two abnormal settings (cli_prepare). Every run goes through
cli_window_watcher.exe, which must see no top-level window of the program's process; a first
run of the watcher on its own control window shows that it would see one. In order:

  1. diagnose --json: both checks abnormal, the client's service row abnormal (the prefix has no
     client), the exit code the rows give; the same as text lines in code page 936;
  2. export --json --out into a folder and file with spaces: exit 0, the archive read by unzip and
     python's zipfile, its entries those of the GUI's archive (names in order; sizes and CRCs as
     the JSON says; the log's sections equal but for the system and process sections, which hold
     figures of the moment), the commands it ran named by full path;
  3. the same export again without --force: exit 2, the archive untouched;
  4. repair --json: both items abnormal before and normal after, the exit code the rows give
     after the repair; the registry read back
     with reg query;
  5. diagnose --json again: both items normal;
  6. a bad option: exit 64, the usage on the standard error, nothing on the standard output;
  7. beside "vantik-cli.exe.local": it refuses to start, says why on the standard error, exit 2.

Environment: WINE and WINEPREFIX (scripts/wine-run), VANTIK_CLI_EXE and VANTIK_WATCHER_EXE (the
programs), VANTIK_CLI_OUT (run-gui-test's output folder, which holds the GUI's archive under
"export out"). Prints one PASS or FAIL line per check; exits 0 only when all passed.
"""

import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from check_export_archive import BANNERS, Checks, sections  # noqa: E402

WINE = os.environ["WINE"]
CLI = os.environ["VANTIK_CLI_EXE"]
WATCHER = os.environ["VANTIK_WATCHER_EXE"]
OUT = os.environ["VANTIK_CLI_OUT"]
GUI_ARCHIVE = os.path.join(OUT, "export out", "Vantik export.zip")
WORK = os.path.join(OUT, "cli")

TITLES = ["检查windows补丁是否有影响", "检查浏览器的UserAgent信息是否正常"]
IDS = ["tls_renegotiation", "ie_user_agent"]
# Sections whose text is the same in two exports a minute apart: all but the system section
# (memory and free space) and the process list, and the commands' output after the last banner:
# the console program is the shipped 32-bit one, whose tools are the stand-ins in syswow64
# (plant-tool-stand-ins), while the 64-bit dialog program ran Wine's own. The findings differ
# too: the 32-bit program cannot read the DNS servers under WoW64, and finds none.
VARYING = {0, 2, 8, 9}
TIMEOUT_S = 300

checks = Checks()


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def watched(name, program, arguments):
    """Runs the program under the watcher: exit code, stdout, stderr and the windows seen."""
    log = os.path.join(WORK, name + ".windows")
    command = [WINE, WATCHER, windows_path(log), windows_path(program)] + arguments
    try:
        done = subprocess.run(command, capture_output=True, timeout=TIMEOUT_S)
    except subprocess.TimeoutExpired:
        checks.expect(False, f"{name}: ends by itself", f"still running after {TIMEOUT_S} s")
        return None, b"", b"", ""
    windows = open(log).read() if os.path.exists(log) else None
    if windows is None:
        checks.expect(False, f"{name}: watched", f"no log; stderr {done.stderr[-300:]!r}")
        windows = ""
    return done.returncode, done.stdout, done.stderr, windows


def cli(name, arguments, program=CLI):
    code, out, err, windows = watched(name, program, arguments)
    checks.expect(windows == "", f"{name}: no window of the program appears",
                  windows.strip() or "none seen")
    return code, out, err


def document(name, out):
    """The standard output as one JSON document, strictly UTF-8."""
    try:
        return json.loads(out.decode("utf-8"))
    except (UnicodeDecodeError, ValueError) as error:
        checks.expect(False, f"{name}: one UTF-8 JSON document", f"{error}: {out[:300]!r}")
        return None


def exit_code_of(states):
    """The exit code that the rows' states give: failed outranks abnormal."""
    return 2 if "failed" in states else 1 if "abnormal" in states else 0


def expect_checks(name, doc, states, code):
    """The two settings' rows in the states given, then the diagnosis's rows, the first the
    client's service, which the prefix lacks; the exit code is the one all the rows give."""
    if doc is None:
        return
    found = [(c["id"], c["title"], c["state"]) for c in doc.get("checks", [])]
    checks.expect(found[:2] == list(zip(IDS, TITLES, states)), f"{name}: checks", str(found))
    checks.expect(len(found) > 2 and found[2][0] == "vpn_client_service" and
                  found[2][2] == "abnormal", f"{name}: the client's service row, not installed",
                  str(found[2:]))
    exit_code = exit_code_of([state for _, _, state in found])
    checks.expect(code == exit_code and doc.get("exit_code") == exit_code and
                  doc.get("elevated") is True and
                  doc.get("command") == "diagnose" and doc.get("version") == "1.0.0.0",
                  f"{name}: exit code, rights, command and version",
                  json.dumps({k: doc.get(k) for k in
                              ("command", "version", "elevated", "exit_code", "windows")},
                             ensure_ascii=False))


# The adapter section's DNS servers come from the resolver, which Wine's WoW64 mode cannot reach
# for a 32-bit program (its dnsapi has no libresolv there): the console program's section is the
# GUI's less those lines.
ADAPTERS = 5
DNS_LINE = re.compile("(?:首选|备用)DNS服务器: [^\r\n]*\r\n".encode("gbk"))


def compare_with_gui(cli_archive):
    with zipfile.ZipFile(GUI_ARCHIVE) as gui, zipfile.ZipFile(cli_archive) as ours:
        gui_names = [i.filename for i in gui.infolist()]
        our_names = [i.filename for i in ours.infolist()]
        checks.expect(our_names == gui_names, "export: entries as the GUI's export writes them",
                      f"{our_names}, GUI {gui_names}")
        if "Vantik.log" not in our_names or "Vantik.log" not in gui_names:
            return
        gui_log = sections(gui.read("Vantik.log"))
        our_log = sections(ours.read("Vantik.log"))
        if not checks.expect(gui_log is not None and our_log is not None,
                             "export: both logs have the ten banners", ""):
            return
        for number, (theirs, mine) in enumerate(zip(gui_log, our_log)):
            what = BANNERS[number].strip(b"\r\n=").decode()
            if number == ADAPTERS:
                theirs = DNS_LINE.sub(b"", theirs)
            if number in VARYING:
                checks.expect(len(mine) > 0, f"export: section {what} written", f"{len(mine)} bytes")
            else:
                checks.expect(mine == theirs, f"export: section {what} as in the GUI's log",
                              f"{len(mine)} bytes" if mine == theirs else
                              f"{mine[:200]!r} against {theirs[:200]!r}")


def expect_export(doc, archive_path):
    if doc is None:
        return
    export = doc.get("export", {})
    checks.expect(export.get("archive") == windows_path(archive_path) and
                  export.get("written") is True and export.get("complete") is True and
                  export.get("message") == "导出完毕!",
                  "export: the JSON names the archive, written whole",
                  json.dumps({k: export.get(k) for k in ("archive", "written", "complete",
                                                          "message")}, ensure_ascii=False))
    with zipfile.ZipFile(archive_path) as archive:
        actual = [{"name": i.filename, "size": i.file_size, "crc32": i.CRC}
                  for i in archive.infolist()]
    checks.expect(export.get("entries") == actual, "export: entries, sizes and CRCs as zipfile reads",
                  json.dumps(export.get("entries")))
    commands = export.get("commands", [])
    ids = [c.get("id") for c in commands]
    checks.expect(ids == ["hotfix_list", "network_config", "dns_cache"],
                  "export: the three commands", str(ids))
    for command in commands:
        line = command.get("command_line", "")
        checks.expect(command.get("started") is True and
                      isinstance(command.get("exit_code"), int) and
                      line.lower().startswith('"c:\\windows\\system32\\cmd.exe" '),
                      f"export: {command.get('id')} started by full path, its exit code told",
                      json.dumps(command))


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)

    # 0. The watcher sees a window where there is one.
    code, _, _, windows = watched("control", WATCHER, ["--flash-window"])
    checks.expect(code == 0 and "visible=1" in windows, "control: the watcher sees a window",
                  windows.strip() or f"none; exit code {code}")

    # 1. The seeded settings, found abnormal.
    code, out, err = cli("diagnose-json", ["diagnose", "--json"])
    expect_checks("diagnose --json", document("diagnose --json", out),
                  ["abnormal", "abnormal"], code)
    json_code = code
    code, out, err = cli("diagnose-text", ["diagnose"])
    text = "".join(f"{title}: 异常\r\n" for title in TITLES)
    checks.expect(code == json_code and out.startswith(text.encode("gbk")),
                  "diagnose: one line per check in the console's code page 936",
                  f"exit code {code}, {out!r}")

    # 2. The export, beside the GUI's.
    folder = os.path.join(WORK, "cli out")
    os.makedirs(folder)
    archive = os.path.join(folder, "Vantik cli export.zip")
    code, out, err = cli("export", ["export", "--json", "--out", windows_path(archive)])
    checks.expect(code == 0, "export: exit code 0", f"{code}; stderr {err[-300:]!r}")
    steps = ["正在导出基本信息...", "正在导出补丁信息...", "正在导出SPI信息...",
             "正在导出DNS信息...", "正在生成报告..."]
    progress = "".join(f"[{i}/5] {step}\r\n" for i, step in enumerate(steps, 1))
    checks.expect(err == progress.encode("gbk"), "export: the steps on the standard error",
                  repr(err[:400]))
    if checks.expect(os.path.exists(archive), "export: the archive is there", archive):
        unzip = subprocess.run(["unzip", "-tq", archive], capture_output=True)
        checks.expect(unzip.returncode == 0, "export: unzip -t", unzip.stdout.decode().strip())
        reader = subprocess.run([sys.executable, os.path.join(HERE, "check_export_archive.py"),
                                 archive, "Vantik.log", "WindowsUpdate.log"],
                                capture_output=True, text=True,
                                env=dict(os.environ, VANTIK_SYSTEM_TOOLS="stand-ins"))
        checks.expect(reader.returncode == 0, "export: the archive's own checks",
                      reader.stdout.strip().splitlines()[-1] if reader.stdout.strip() else
                      reader.stderr)
        expect_export(document("export", out), archive)
        compare_with_gui(archive)

        # 3. An existing archive is kept.
        before = hashlib.sha256(open(archive, "rb").read()).hexdigest()
        code, out, err = cli("export-again", ["export", "--out", windows_path(archive)])
        after = hashlib.sha256(open(archive, "rb").read()).hexdigest()
        checks.expect(code == 2 and before == after and out == b"" and
                      "文件已存在".encode("gbk") in err,
                      "export without --force: refused, the archive untouched",
                      f"exit code {code}, stderr {err.decode('gbk', 'replace')!r}")

    # 4. The repair, and the registry it leaves.
    code, out, err = cli("repair", ["repair", "--json"])
    doc = document("repair --json", out)
    if doc is not None:
        states = [(r["id"], r["before"]["state"], r["repair"]["ran"], r["repair"]["code"],
                   r["after"]["state"]) for r in doc.get("repairs", [])]
        checks.expect(states[:2] == [(i, "abnormal", True, 0, "normal") for i in IDS],
                      "repair --json: abnormal before, repaired, normal after", str(states))
        after = exit_code_of([r["after"]["state"] for r in doc.get("repairs", [])])
        checks.expect(code == after and doc.get("exit_code") == after,
                      "repair --json: the exit code the rows give after the repair",
                      f"{code}; stderr {err!r}")
    renego = subprocess.run(
        [WINE, "reg", "query", r"HKLM\System\CurrentControlSet\Control\SecurityProviders\SCHANNEL",
         "/v", "DisableRenegoOnClient"], capture_output=True, text=True, errors="replace")
    checks.expect("REG_DWORD" in renego.stdout and "0x0" in renego.stdout,
                  "repair: DisableRenegoOnClient is 0", renego.stdout.strip())
    agent = subprocess.run(
        [WINE, "reg", "query",
         r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\5.0\User Agent",
         "/v", "Compatible"], capture_output=True, text=True, errors="replace")
    checks.expect("compatible;Mozilla/4.0" in agent.stdout,
                  "repair: Compatible is compatible;Mozilla/4.0", agent.stdout.strip())

    # 5. Normal now.
    code, out, err = cli("diagnose-after", ["diagnose", "--json"])
    expect_checks("diagnose after the repair", document("diagnose after", out),
                  ["normal", "normal"], code)

    # 6. Bad usage.
    code, out, err = cli("bad-option", ["diagnose", "--bogus"])
    message = err.decode("gbk", "replace")
    checks.expect(code == 64 and out == b"" and "未知的选项：--bogus" in message and
                  "用法: vantik-cli" in message, "a bad option: exit code 64 and the usage",
                  f"exit code {code}, stdout {out!r}, stderr {message[:200]!r}")

    # 7. Beside a redirection it does not start.
    downloads = os.path.join(WORK, "Downloads")
    os.makedirs(downloads)
    copy = os.path.join(downloads, "vantik-cli.exe")
    shutil.copy(CLI, copy)
    open(os.path.join(downloads, "vantik-cli.exe.local"), "w").close()
    code, out, err = cli("redirection", ["diagnose", "--json"], program=copy)
    message = err.decode("gbk", "replace")
    checks.expect(code == 2 and out == b"" and "vantik-cli.exe.local" in message,
                  "beside vantik-cli.exe.local: refuses to start and says why",
                  f"exit code {code}, stderr {message!r}")

    print(f"{checks.total} console program checks, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())

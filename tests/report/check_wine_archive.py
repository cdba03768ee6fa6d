#!/usr/bin/env python3
"""Reads the archive that archive_packer_wine_test wrote, with readers we did not write:
python3's zipfile (every CRC, names, order, contents, method, date) and `unzip -t`.

    check_wine_archive.py FOLDER
"""
import subprocess
import sys
import zipfile
from pathlib import Path

folder = Path(sys.argv[1])
archive = folder / "Vantik.zip"
failures = []

expected = []
for line in (folder / "manifest.txt").read_text().splitlines():
    name, contents, when = line.split("\t")
    expected.append((name, (folder / contents).read_bytes(), tuple(int(v) for v in when.split())))

with zipfile.ZipFile(archive) as z:
    bad = z.testzip()
    if bad is not None:
        failures.append(f"CRC or data error in {bad}")
    entries = z.infolist()
    names = [e.filename for e in entries]
    if names != [name for name, _, _ in expected]:
        failures.append(f"entries {names}, expected {[n for n, _, _ in expected]}")
    for entry, (name, contents, when) in zip(entries, expected):
        if entry.compress_type != zipfile.ZIP_DEFLATED:
            failures.append(f"{name}: method {entry.compress_type}, not deflate")
        if entry.flag_bits & 6 != 2:
            failures.append(f"{name}: flags {entry.flag_bits:#x} lack the maximum-compression mark")
        if z.read(entry) != contents:
            failures.append(f"{name}: contents differ ({entry.file_size} bytes, {len(contents)} expected)")
        if entry.date_time != when:
            failures.append(f"{name}: dated {entry.date_time}, expected {when}")

unzip = subprocess.run(["unzip", "-tq", str(archive)], capture_output=True, text=True)
if unzip.returncode != 0:
    failures.append(f"unzip -t: {unzip.stdout}{unzip.stderr}")

for failure in failures:
    print(failure)
print(f"{archive}: {len(expected)} entries " + ("FAILED" if failures else "read back whole"))
sys.exit(1 if failures else 0)

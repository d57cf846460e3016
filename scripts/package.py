#!/usr/bin/env python3
"""Builds the release zip: the program, DEFAULT.ini, the German guide, the English
language file and SHA256SUMS. The same inputs always give the same zip bytes: fixed
order, times and attributes. The text sources are UTF-8; the zip holds them as
Windows-1252 with CR LF, as the program and Notepad on every supported Windows read
them.

usage: package.py OUT_DIR VERSION EXE DEFAULT_INI LIESMICH_TXT LANGUAGE_FILE
"""
import hashlib
import sys
import zipfile
from pathlib import Path

MAX_EXE_BYTES = 1_000_000
STAMP = (2026, 1, 1, 0, 0, 0)


def windows_text(path):
    text = Path(path).read_text(encoding="utf-8").replace("\r\n", "\n")
    return text.replace("\n", "\r\n").encode("cp1252")


def main(out_dir, version, exe, default_ini, guide, language):
    program = Path(exe).read_bytes()
    if len(program) >= MAX_EXE_BYTES:
        sys.exit(f"package: {exe} has {len(program)} bytes, the limit is {MAX_EXE_BYTES}")
    files = [
        ("Gleisora.exe", program),
        ("DEFAULT.ini", windows_text(default_ini)),
        ("LIESMICH.txt", windows_text(guide)),
        ("Gleisora.en.lng", windows_text(language)),
    ]
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    files.append(("SHA256SUMS", sums.encode("ascii")))
    out = Path(out_dir)
    zip_path = out / f"Gleisora-{version}.zip"
    with zipfile.ZipFile(zip_path, "w") as archive:
        for name, data in files:
            info = zipfile.ZipInfo(name, STAMP)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix owner or mode bits
            info.external_attr = 0x20  # archive
            archive.writestr(info, data, compresslevel=9)
    print(f"{zip_path} ({len(program)} bytes program)")


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])

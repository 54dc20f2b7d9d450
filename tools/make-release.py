#!/usr/bin/env python3
"""Builds the release zip: the two stripped executables, each in the folder that says which
Windows it is for, the read-me for Windows users (code page 932, CR LF, as Notepad on a
Japanese system reads it) and the licence. The zip is reproducible: fixed entry order, dates
and permissions, so two builds of the same commit give the same bytes.

    make-release.py OUTPUT.zip I686.scr X86_64.scr README.txt LICENSE
"""
import sys
import zipfile

FIXED_DATE = (2026, 1, 1, 0, 0, 0)
# The 32-bit build runs on the Windows 95 family, on 32-bit NT-family Windows and, from
# SysWOW64, on 64-bit Windows; the 64-bit build is for System32 on 64-bit Windows.
FOLDER_32 = "32bit"
FOLDER_64 = "64bit"


def windows_text(path, encoding):
    with open(path, encoding="utf-8") as source:
        text = source.read()
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode(encoding)


def main():
    output, scr32, scr64, readme, licence = sys.argv[1:6]
    entries = [
        (f"{FOLDER_32}/velora_ss_launcher.scr", open(scr32, "rb").read()),
        (f"{FOLDER_64}/velora_ss_launcher.scr", open(scr64, "rb").read()),
        ("README.txt", windows_text(readme, "cp932")),
        ("LICENSE.txt", windows_text(licence, "ascii")),
    ]
    with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, FIXED_DATE)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            info.create_system = 0  # MS-DOS: no Unix owner or mode bits
            archive.writestr(info, data)


if __name__ == "__main__":
    main()

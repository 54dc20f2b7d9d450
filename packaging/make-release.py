#!/usr/bin/env python3
"""Builds the release zip: the stripped .scr, the read-me for Windows users (code page 932,
CR LF, as Notepad on a Japanese system reads it) and the licence. The zip is reproducible:
fixed entry order, dates and permissions, so two builds of the same commit give the same
bytes."""
import sys
import zipfile

FIXED_DATE = (2026, 1, 1, 0, 0, 0)


def windows_text(path, encoding):
    with open(path, encoding="utf-8") as source:
        text = source.read()
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode(encoding)


def main():
    scr, readme, licence, output = sys.argv[1:5]
    entries = [
        ("velora_ss_launcher.scr", open(scr, "rb").read()),
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

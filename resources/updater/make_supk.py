#!/usr/bin/env python3
"""Builds the template update package from our own files.

The entries, their order, methods and dates are what the phone's recovery and the
program's zip step expect; nothing else goes in: no extra fields, no data descriptors,
no archive comment, no signature entries.
"""
import argparse
import os
import sys
import zipfile

DIR_DATE = (2012, 3, 28, 11, 26, 26)
DIRECTORIES = [
    "META-INF/",
    "META-INF/com/",
    "META-INF/com/android/",
    "META-INF/com/google/",
    "META-INF/com/google/android/",
]

SCRIPT_SIZE = 216
VERSION_SIZE = 250
LOGO_SIZE = 262144


def read(path, expected_size=None):
    with open(path, "rb") as f:
        data = f.read()
    if expected_size is not None and len(data) != expected_size:
        sys.exit(f"{path}: {len(data)} bytes, expected {expected_size}")
    return data


def entry(name, date, mode, method):
    info = zipfile.ZipInfo(name, date_time=date)
    info.create_system = 3  # Unix, so that the mode bits below mean something
    info.compress_type = method
    info.external_attr = mode << 16
    if name.endswith("/"):
        info.external_attr |= 0x10  # MS-DOS directory bit, for unzip on any system
    return info


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--binary", required=True)
    ap.add_argument("--script", required=True)
    ap.add_argument("--version", required=True)
    ap.add_argument("--logo", required=True)
    ap.add_argument("--out", required=True)
    args = ap.parse_args()

    binary = read(args.binary)
    if binary[:4] != b"\x7fELF":
        sys.exit(f"{args.binary}: not an ELF file")
    script = read(args.script, SCRIPT_SIZE)
    version = read(args.version, VERSION_SIZE)
    logo = read(args.logo, LOGO_SIZE)

    files = [
        ("META-INF/com/google/android/update-binary", binary,
         (2011, 4, 18, 19, 5, 54), 0o100755),
        ("META-INF/com/google/android/updater-script", script,
         (2012, 6, 28, 11, 38, 28), 0o100644),
        ("version.xml", version, (2012, 7, 7, 15, 35, 12), 0o100644),
        ("logo_new.img", logo, (2012, 4, 26, 9, 38, 8), 0o100644),
    ]

    tmp = args.out + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        for name in DIRECTORIES:
            z.writestr(entry(name, DIR_DATE, 0o40755, zipfile.ZIP_STORED), b"")
        for name, data, date, mode in files:
            z.writestr(entry(name, date, mode, zipfile.ZIP_DEFLATED), data,
                       compresslevel=9)
    os.replace(tmp, args.out)


if __name__ == "__main__":
    main()

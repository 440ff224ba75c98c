#!/usr/bin/env python3
"""The updater program must start on the phone's kernel with nothing else installed:
a 32-bit ARM EABI5 executable, soft float, statically linked (no program interpreter),
for ARMv5TE. Checked with binutils' readelf for ARM."""
import shutil
import subprocess
import sys

READELF = ["arm-linux-gnueabi-readelf", "readelf"]


def main():
    binary = sys.argv[1]
    tool = next((t for t in READELF if shutil.which(t)), None)
    if tool is None:
        print("SKIP: readelf is missing (binutils-arm-linux-gnueabi)")
        return 77
    out = subprocess.run([tool, "-h", "-l", "-A", "-W", binary], check=True,
                         capture_output=True, text=True).stdout
    problems = []

    def need(text, why):
        if text not in out:
            problems.append(why)

    need("Class:                             ELF32", "not a 32-bit ELF file")
    need("Machine:                           ARM", "not for ARM")
    need("Type:                              EXEC", "not a fixed-address executable")
    need("Version5 EABI", "not EABI version 5")
    need("soft-float ABI", "not the soft-float ABI")
    need("Tag_CPU_arch: v5TE", "not built for ARMv5TE")
    if "INTERP" in out or "Requesting program interpreter" in out:
        problems.append("has a program interpreter (PT_INTERP): not statically linked")
    if "DYNAMIC" in out:
        problems.append("has a dynamic section")
    for tag in ("Tag_FP_arch", "Tag_VFP_arch", "Tag_ABI_VFP_args"):
        if tag in out:
            problems.append("uses floating-point hardware (%s)" % tag)
    if problems:
        print(out)
        for p in problems:
            print("FAIL:", p)
        return 1
    print("ok:", binary)
    return 0


if __name__ == "__main__":
    sys.exit(main())

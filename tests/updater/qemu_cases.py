#!/usr/bin/env python3
"""The ARM updater program under qemu-arm, driven like the phone's recovery drives it.

    qemu_cases.py --binary UPDATE_BINARY --supk SUPK --work DIR CASE

Each case builds its package from the template package, installs it in a fresh
chroot and checks the pipe's lines, the exit code and the partition files.
Exits 77 (skipped) where the emulated install cannot run.
"""
import argparse
import os
import random
import re
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fake_recovery as fr  # noqa: E402

SCRIPT_ENTRY = "META-INF/com/google/android/updater-script"
LOGO_ENTRY = "logo_new.img"
BANNER = "ui_print  vemol logo tool for u830 "

OK_LINES = [
    "progress 1.000 0",
    BANNER,
    "ui_print",
    "set_progress 0.000",
    "set_progress 0.250",
    "set_progress 0.500",
    "set_progress 0.750",
    "set_progress 1.000",
    "ui_print Install complete!",
    "ui_print",
]

ASSERT_WRITE = 'assert failed: write_raw_image("/tmp/logo_new.img", "logo")'
ASSERT_EXTRACT = 'assert failed: package_extract_file("logo_new.img", "/tmp/logo_new.img")'


class Failure(Exception):
    pass


def expect(cond, what, res=None):
    if not cond:
        detail = ""
        if res is not None:
            detail = "\n  exit code: %d\n  pipe:\n    %s\n  stderr:\n%s" % (
                res.returncode, "\n    ".join(res.lines), res.stderr)
        raise Failure(what + detail)


def repack(src, dest, replace=None, drop=()):
    """A copy of the package with entries replaced (name -> bytes) or left out,
    keeping the order, dates and methods of the others."""
    replace = replace or {}
    with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dest, "w") as zout:
        for info in zin.infolist():
            if info.filename in drop:
                continue
            data = replace.get(info.filename, None)
            zout.writestr(info, zin.read(info) if data is None else data)
    return dest


def corrupt_entry(src, dest, name):
    """Flips a byte in the middle of the entry's compressed data, leaving its CRC."""
    with open(src, "rb") as f:
        raw = bytearray(f.read())
    with zipfile.ZipFile(src) as z:
        info = z.getinfo(name)
    off = info.header_offset
    name_len = int.from_bytes(raw[off + 26:off + 28], "little")
    extra_len = int.from_bytes(raw[off + 28:off + 30], "little")
    start = off + 30 + name_len + extra_len
    raw[start + info.compress_size // 2] ^= 0x55
    with open(dest, "wb") as f:
        f.write(raw)
    return dest


def logo_of(package):
    with zipfile.ZipFile(package) as z:
        return z.read(LOGO_ENTRY)


class Cases:
    def __init__(self, binary, supk, work):
        self.binary, self.supk, self.work = binary, supk, work
        os.makedirs(work, exist_ok=True)

    def path(self, name):
        return os.path.join(self.work, name)

    def run(self, package, **kw):
        return fr.run(self.binary, package, self.path("root"), **kw)

    def untouched(self, res, fill=b"\x00"):
        logo = res.partitions["logo"]
        expect(logo == fill * len(logo), "the logo partition was changed", res)

    # ---- installs that succeed ----

    def case_install_template(self):
        res = self.run(self.supk)
        expect(res.returncode == 0, "install failed", res)
        expect(res.lines == OK_LINES, "unexpected pipe lines", res)
        expect(res.partitions["logo"] == logo_of(self.supk),
               "the logo partition does not hold logo_new.img", res)
        expect(not os.path.exists(os.path.join(res.root, "tmp/logo_new.img")),
               "/tmp/logo_new.img was not deleted", res)
        for other in ("boot", "recovery"):
            expect(res.partitions[other] == b"\x00" * 0x40000, other + " was changed", res)

    def case_install_other_image(self):
        # A smaller image of random bytes over a partition holding something else:
        # the image lands at offset 0 and nothing is made up.
        image = random.Random(830).randbytes(200000)
        pkg = repack(self.supk, self.path("other.zip"), {LOGO_ENTRY: image})
        parts = fr.default_partitions()
        parts[2].fill = b"\x5a"
        res = self.run(pkg, partitions=parts)
        expect(res.returncode == 0, "install failed", res)
        logo = res.partitions["logo"]
        expect(logo[:len(image)] == image, "the image is not at the partition's start", res)
        expect(logo[len(image):] == b"\x5a" * (0x40000 - len(image)),
               "bytes behind the image changed on a plain device", res)

    def case_flat_device_names(self):
        # Some kernels have /dev/mtdN instead of /dev/mtd/mtdN.
        parts = fr.default_partitions()
        for p in parts:
            p.device = "/dev/mtd"
        res = self.run(self.supk, partitions=parts)
        expect(res.returncode == 0, "install failed", res)
        expect(res.partitions["logo"] == logo_of(self.supk), "wrong partition content", res)

    def case_script_variation(self):
        # The same job written differently: comments, if/else, operators, escapes.
        script = (
            b'# logo only\n'
            b'ui_print("line one\\nline two");\n'
            b'if package_extract_file("logo_new.img", "/tmp/l.img") == "t" then\n'
            b'  assert(write_raw_image("/tmp/l.img", "logo") != "", delete("/tmp/l.img") == "1");\n'
            b'  ui_print("wrote " + "logo")\n'
            b'else\n'
            b'  assert(!"extract failed")\n'
            b'endif;\n')
        pkg = repack(self.supk, self.path("variation.zip"), {SCRIPT_ENTRY: script})
        res = self.run(pkg)
        expect(res.returncode == 0, "install failed", res)
        expect(res.lines[1:4] == ["ui_print line one", "ui_print line two", "ui_print"],
               "a multi-line message is not sent line by line", res)
        expect(res.lines[-2:] == ["ui_print wrote logo", "ui_print"], "unexpected end", res)
        expect(res.partitions["logo"] == logo_of(self.supk), "wrong partition content", res)

    # ---- installs that are refused ----

    def case_no_script(self):
        pkg = repack(self.supk, self.path("noscript.zip"), drop=(SCRIPT_ENTRY,))
        res = self.run(pkg)
        expect(res.returncode == 3, "exit code is not 3", res)
        expect(any("no updater script" in t for t in res.printed()), "no reason printed", res)
        self.untouched(res)

    def case_corrupt_entry(self):
        pkg = corrupt_entry(self.supk, self.path("corrupt.zip"), LOGO_ENTRY)
        res = self.run(pkg)
        expect(res.returncode == 5, "exit code is not 5", res)
        printed = res.printed()
        expect(any('"logo_new.img"' in t and "corrupt" in t for t in printed),
               "the corrupt entry is not named", res)
        expect(ASSERT_EXTRACT in printed, "the failed assert is not named", res)
        expect(not os.path.exists(os.path.join(res.root, "tmp/logo_new.img")),
               "a partial /tmp/logo_new.img was left", res)
        self.untouched(res)

    def case_missing_partition(self):
        parts = [fr.Partition("boot", 0), fr.Partition("logo2", 3)]
        res = self.run(self.supk, partitions=parts)
        expect(res.returncode == 5, "exit code is not 5", res)
        printed = res.printed()
        expect(any('no partition named "logo"' in t for t in printed), "reason missing", res)
        expect(ASSERT_WRITE in printed, "the failed assert is not named", res)
        expect(res.partitions["logo2"] == b"\x00" * 0x40000, "logo2 was changed", res)

    def case_image_too_large(self):
        parts = fr.default_partitions()
        parts[2].size = 0x20000
        res = self.run(self.supk, partitions=parts)
        expect(res.returncode == 5, "exit code is not 5", res)
        expect(any("larger than the partition" in t for t in res.printed()), "reason missing", res)
        expect(ASSERT_WRITE in res.printed(), "the failed assert is not named", res)
        self.untouched(res)

    def case_bad_script(self):
        script = b'ui_print("a");\nassert(package_extract_file("logo_new.img" "/tmp/x"));\n'
        pkg = repack(self.supk, self.path("badscript.zip"), {SCRIPT_ENTRY: script})
        res = self.run(pkg)
        expect(res.returncode == 4, "exit code is not 4", res)
        expect(any("line 2, column 44" in t for t in res.printed()), "no line and column", res)
        expect(not any(t == "a" for t in res.printed()), "a script that does not parse ran", res)
        self.untouched(res)

    def case_missing_package(self):
        res = self.run(None)
        expect(res.returncode == 2, "exit code is not 2", res)
        expect(any("/package.zip" in t for t in res.printed()), "reason missing", res)

    def case_not_a_zip(self):
        bad = self.path("notzip.zip")
        with open(bad, "wb") as f:
            f.write(b"PK\x03\x04 this is not an archive" * 10)
        res = self.run(bad)
        expect(res.returncode == 2, "exit code is not 2", res)
        expect(any("not a zip archive" in t for t in res.printed()), "reason missing", res)

    def case_wrong_arguments(self):
        res = self.run(self.supk, args=["3", "{fd}"])
        expect(res.returncode == 1, "exit code is not 1 for two arguments", res)
        expect(any("usage" in t for t in res.printed()), "no usage printed", res)
        for api in ("0", "4", "x"):
            res = self.run(self.supk, args=[api, "{fd}", "/package.zip"])
            expect(res.returncode == 1, "API version %s accepted" % api, res)
            expect(any("API version" in t for t in res.printed()), "reason missing", res)
            self.untouched(res)
        for api in ("1", "2"):
            res = self.run(self.supk, args=[api, "{fd}", "/package.zip"])
            expect(res.returncode == 0, "API version %s refused" % api, res)

    # ---- the program itself ----

    def case_system_calls(self):
        allowed = {}
        here = os.path.dirname(os.path.abspath(__file__))
        with open(os.path.join(here, "syscalls-2.6.35-arm.txt")) as f:
            for line in f:
                line = line.split("#")[0].split()
                if line:
                    allowed[line[0]] = int(line[1])
        expect(all(n <= 365 for n in allowed.values()), "the list holds a call after 2.6.35")
        runs = [self.run(self.supk, strace=True),
                self.run(corrupt_entry(self.supk, self.path("c.zip"), LOGO_ENTRY), strace=True),
                self.run(self.supk, strace=True, args=["9", "{fd}", "/package.zip"])]
        seen = set()
        for res in runs:
            for line in res.stderr.splitlines():
                m = re.match(r"^\d+ ([A-Za-z_][A-Za-z0-9_]*)\(", line)
                if m:
                    seen.add(m.group(1))
        expect("write" in seen and "ioctl" in seen, "strace output not understood:\n" +
               runs[0].stderr[:2000])
        unknown = sorted(seen - set(allowed))
        expect(not unknown, "system calls not known to be in Linux 2.6.35: %s" % unknown)
        print("system calls made:", " ".join(sorted(seen)))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--binary", required=True)
    ap.add_argument("--supk", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("case")
    args = ap.parse_args()
    reason = fr.skip_reason()
    if reason:
        print("SKIP:", reason)
        return fr.SKIP
    cases = Cases(args.binary, args.supk, args.work)
    fn = getattr(cases, "case_" + args.case, None)
    if fn is None:
        print("unknown case", args.case)
        return 2
    try:
        fn()
    except Failure as e:
        print("FAIL:", e)
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())

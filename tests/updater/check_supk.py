#!/usr/bin/env python3
"""Reads the template package byte by byte (not through zipfile, which wrote it) and
checks its nine entries, then lets Info-ZIP's unzip test it.

    check_supk.py SUPK UPDATE_BINARY UPDATER_SCRIPT VERSION_XML TEMPLATE_LOGO
"""
import shutil
import struct
import subprocess
import sys
import zlib

EXPECTED = [
    ("META-INF/", 0, (2012, 3, 28, 11, 26, 26)),
    ("META-INF/com/", 0, (2012, 3, 28, 11, 26, 26)),
    ("META-INF/com/android/", 0, (2012, 3, 28, 11, 26, 26)),
    ("META-INF/com/google/", 0, (2012, 3, 28, 11, 26, 26)),
    ("META-INF/com/google/android/", 0, (2012, 3, 28, 11, 26, 26)),
    ("META-INF/com/google/android/update-binary", 8, (2011, 4, 18, 19, 5, 54)),
    ("META-INF/com/google/android/updater-script", 8, (2012, 6, 28, 11, 38, 28)),
    ("version.xml", 8, (2012, 7, 7, 15, 35, 12)),
    ("logo_new.img", 8, (2012, 4, 26, 9, 38, 8)),
]


def dos_date(date, time):
    return ((date >> 9) + 1980, (date >> 5) & 15, date & 31,
            time >> 11, (time >> 5) & 63, (time & 31) * 2)


def main():
    supk, binary, script, version, logo = sys.argv[1:6]
    raw = open(supk, "rb").read()
    contents = [b""] * 5 + [open(p, "rb").read() for p in (binary, script, version, logo)]
    problems = []
    assert len(contents[6]) == 216 and len(contents[7]) == 250 and len(contents[8]) == 262144

    eocd = raw.rfind(b"PK\x05\x06")
    sig, disk, cd_disk, here, total, cd_size, cd_off, comment_len = struct.unpack_from(
        "<IHHHHIIH", raw, eocd)
    if eocd + 22 != len(raw) or comment_len:
        problems.append("the archive has a comment or trailing bytes")
    if total != 9 or here != 9:
        problems.append("%d entries instead of 9" % total)
    if cd_off + cd_size != eocd:
        problems.append("bytes between the central directory and its end record")

    pos = cd_off
    end_of_data = 0
    for i, (name, method, date) in enumerate(EXPECTED):
        (sig, made_by, need, flags, meth, mtime, mdate, crc, csize, usize, nlen, xlen, clen,
         _, _, _, loff) = struct.unpack_from("<IHHHHHHIIIHHHHHII", raw, pos)
        cname = raw[pos + 46:pos + 46 + nlen].decode()
        pos += 46 + nlen + xlen + clen
        where = "entry %d (%s)" % (i + 1, cname)
        if sig != 0x02014B50:
            problems.append(where + ": bad central header")
            break
        if cname != name:
            problems.append("%s: expected %s" % (where, name))
        if meth != method:
            problems.append("%s: method %d, expected %d" % (where, meth, method))
        if dos_date(mdate, mtime) != date:
            problems.append("%s: date %s, expected %s" % (where, dos_date(mdate, mtime), date))
        if xlen or clen:
            problems.append(where + ": extra field or comment in the central directory")
        if flags & 0x0009:
            problems.append(where + ": encrypted or with a data descriptor")
        if loff != end_of_data:
            problems.append(where + ": not stored right after the previous entry")
        (lsig, _, lflags, lmeth, ltime, ldate, lcrc, lcsize, lusize, lnlen,
         lxlen) = struct.unpack_from("<IHHHHHIIIHH", raw, loff)
        if lsig != 0x04034B50 or raw[loff + 30:loff + 30 + lnlen].decode() != name:
            problems.append(where + ": bad local header")
        if lxlen:
            problems.append(where + ": extra field in the local header")
        if (lflags, lmeth, ltime, ldate, lcrc, lcsize, lusize) != (
                flags, meth, mtime, mdate, crc, csize, usize):
            problems.append(where + ": local header differs from the central directory")
        start = loff + 30 + lnlen + lxlen
        data = raw[start:start + csize]
        end_of_data = start + csize
        plain = data if meth == 0 else zlib.decompress(data, -15)
        if plain != contents[i] or usize != len(contents[i]) or crc != zlib.crc32(plain):
            problems.append(where + ": content differs from its source file")
    if end_of_data != cd_off:
        problems.append("bytes between the last entry and the central directory")

    if shutil.which("unzip"):
        r = subprocess.run(["unzip", "-tq", supk], capture_output=True, text=True)
        if r.returncode != 0:
            problems.append("unzip -t: " + r.stdout + r.stderr)
    for p in problems:
        print("FAIL:", p)
    if not problems:
        print("ok: %s, %d bytes" % (supk, len(raw)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

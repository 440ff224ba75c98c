#!/usr/bin/python3
"""Builds src/imcode/PinyinIndex.cpp, the table from GBK pairs to syllable numbers.

The readings come from go-pinyin's pinyin_dict.go (Debian package
golang-github-mozillazg-go-pinyin-dev), a map from code point to readings with the most
common reading first; its data derive from Unicode's Unihan database. The syllable
numbers come from the list in src/imcode/PinyinSyllables.cpp.

Each cell (lead 0x81..0xFE, trail 0x40..0xFE) is decoded as code page 936. It is 0 for
no character, a compatibility ideograph (U+F900..U+FAFF), a pair outside the four
Chinese-character areas, or the trail byte 0x7F. Otherwise it takes the character's first
reading (never a later one), without tone, with u-umlaut written v except in lue and nue,
and holds that syllable's number, or 0 where the list has no such syllable. A short list
of characters whose reading the program must give as fixed below overrides the data; it
is printed, with the number of non-zero cells of each area.

Standard library only, so that Debian's /usr/bin/python3 runs it as it is.
"""

import argparse
import os
import re
import sys
import unicodedata

DEFAULT_DICT = "/usr/share/gocode/src/github.com/mozillazg/go-pinyin/pinyin_dict.go"
# Microsoft's code page 936 as Tcl ships it: when present, the codec is checked against it
# cell by cell.
DEFAULT_CP936_TABLE = "/usr/share/tcltk/tcl8.6/encoding/cp936.enc"

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DEFAULT_SYLLABLES = os.path.join(ROOT, "src", "imcode", "PinyinSyllables.cpp")
DEFAULT_OUTPUT = os.path.join(ROOT, "src", "imcode", "PinyinIndex.cpp")

FIRST_LEAD, LAST_LEAD = 0x81, 0xFE
FIRST_TRAIL, LAST_TRAIL = 0x40, 0xFE
COLUMNS = LAST_TRAIL - FIRST_TRAIL + 1
ROWS = LAST_LEAD - FIRST_LEAD + 1

# name, lead range, trail range; the five cells D7FA..D7FE after level 1 hold no character.
AREAS = [
    ("GB2312 level 1", (0xB0, 0xD7), (0xA1, 0xFE)),
    ("GB2312 level 2", (0xD8, 0xF7), (0xA1, 0xFE)),
    ("GBK/3", (0x81, 0xA0), (0x40, 0xFE)),
    ("GBK/4", (0xAA, 0xFE), (0x40, 0xA0)),
]

# Cells whose syllable is settled here, whatever the data say. For some the data's first
# reading is not the one a name should get (行 hang, 觉 jiao, 宿 xiu, 俩 liang, ...), some
# are to give nothing (佛, 髟); the others already come out so and pin the table down, so
# that a change of the data shows in the printed list.
FIXED_CELLS = [
    ("8140", "丂", "yu"),
    ("B0A1", "啊", "a"),
    ("D7F9", "座", "zuo"),
    ("D8A1", "亍", "chu"),
    ("F7FE", "齄", "zha"),
    ("FD9B", "龥", "yue"),
    ("D6D0", "中", "zhong"),
    ("B9FA", "国", "guo"),
    ("B3A4", "长", "zhang"),
    ("D0D0", "行", "hang"),
    ("D6D8", "重", "zhong"),
    ("C0D6", "乐", "le"),
    ("BEF5", "觉", "jiao"),
    ("CFC3", "厦", "sha"),
    ("B3AF", "朝", "chao"),
    ("B5A5", "单", "dan"),
    ("D4F8", "曾", "ceng"),
    ("CBC6", "似", "shi"),
    ("CBDE", "宿", "xiu"),
    ("C1A9", "俩", "liang"),
    ("C2CA", "率", "lv"),
    ("C2CC", "绿", "lv"),
    ("C5AE", "女", "nv"),
    ("E0C5", "嗯", "en"),
    ("DAC0", "诶", "ei"),
    ("B7F0", "佛", None),
    ("B8F8", "给", None),
    ("F7D4", "髟", None),
]

# Tone marks of pinyin: macron, acute, caron, grave. Other marks (the diaeresis of u,
# the circumflex of e) belong to the letter.
TONE_MARKS = {"\u0304", "\u0301", "\u030c", "\u0300"}


def fail(message):
    print("make_pinyin_index: " + message, file=sys.stderr)
    sys.exit(1)


def decode_pair(lead, trail):
    """The character of a pair in code page 936, or None."""
    try:
        text = bytes((lead, trail)).decode("cp936")
    except UnicodeDecodeError:
        return None
    return text if len(text) == 1 else None


def check_codec(cp936_table):
    """Python's cp936 is GBK; make sure it is Microsoft's variant where the table depends on it."""
    # Microsoft's code page 936 has no character in FE50..FEA0 (GB18030 fills it).
    for trail in range(0x50, 0xA1):
        if decode_pair(0xFE, trail) is not None:
            fail("the cp936 codec has a character at FE%02X; code page 936 has none" % trail)
    # Microsoft's mappings where GB2312 tables and GB18030 differ.
    for code, char in (("A1A4", "\u00b7"), ("A1AA", "\u2014"), ("A844", "\u2015"), ("A2E3", None)):
        b = bytes.fromhex(code)
        if decode_pair(b[0], b[1]) != char:
            fail("the cp936 codec maps %s unlike code page 936" % code)
    # The single byte 0x80 (the euro sign in code page 936) does not matter: pairs start at 0x81.
    for lead, trail in [(0xFD, t) for t in range(0x9C, 0xA1)] + [(0xFE, t) for t in range(0x40, 0x50)]:
        char = decode_pair(lead, trail)
        if char is None or not 0xF900 <= ord(char) <= 0xFAFF:
            fail("the cp936 codec has no compatibility ideograph at %02X%02X" % (lead, trail))

    if cp936_table and os.path.exists(cp936_table):
        reference = read_tcl_encoding(cp936_table)
        for lead in range(FIRST_LEAD, LAST_LEAD + 1):
            for trail in range(FIRST_TRAIL, LAST_TRAIL + 1):
                char = decode_pair(lead, trail)
                if (ord(char) if char else None) != reference.get((lead, trail)):
                    fail("the cp936 codec and %s differ at %02X%02X" % (cp936_table, lead, trail))
        print("cp936 codec: matches %s in all %d pairs" % (cp936_table, ROWS * COLUMNS))
    else:
        print("cp936 codec: spot checks passed (no full table to compare with)")


def read_tcl_encoding(path):
    """(lead, trail) -> code point from a Tcl multi-byte encoding file."""
    with open(path, encoding="ascii") as f:
        lines = [line.strip() for line in f]
    if len(lines) < 3 or lines[1] != "M":
        fail("%s is not a Tcl multi-byte encoding file" % path)
    table = {}
    pages = int(lines[2].split()[2])
    i = 3
    for _ in range(pages):
        if i + 17 > len(lines):
            fail("%s ends inside a page" % path)
        lead = int(lines[i], 16)
        cells = "".join(lines[i + 1:i + 17])
        if len(cells) != 256 * 4:
            fail("%s: page %02X is not 256 cells" % (path, lead))
        for trail in range(256):
            value = int(cells[trail * 4:trail * 4 + 4], 16)
            if value:
                table[(lead, trail)] = value
        i += 17
    return table


def read_syllables(path):
    """The syllables in their numbering; index 0 is the empty "no reading" slot."""
    with open(path, encoding="utf-8") as f:
        source = f.read()
    body = re.search(r"PinyinSyllableLetters\[[^]]*\]\[[^]]*\]\s*=\s*\{(.*?)\};", source, re.S)
    if not body:
        fail("no PinyinSyllableLetters list in %s" % path)
    entries = re.findall(r'"([a-z]*)"', re.sub(r"//[^\n]*", "", body.group(1)))
    if len(entries) != 406 or entries[0] != "":
        fail("%s: expected the empty slot and 405 syllables, found %d entries" % (path, len(entries)))
    return entries


def read_readings(path):
    """Code point -> list of readings, most common first."""
    readings = {}
    pattern = re.compile(r'\s*0x([0-9A-Fa-f]+):\s*"([^"]*)",')
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = pattern.match(line)
            if m:
                readings[int(m.group(1), 16)] = m.group(2).split(",")
    if len(readings) < 20000:
        fail("%s holds only %d readings; is it go-pinyin's pinyin_dict.go?" % (path, len(readings)))
    return readings


def toneless(reading):
    """The syllable of a reading without tone, u-umlaut as v except in lue and nue."""
    letters = "".join(c for c in unicodedata.normalize("NFD", reading.strip()) if c not in TONE_MARKS)
    letters = unicodedata.normalize("NFC", letters)
    if letters in ("lüe", "nüe"):
        return letters.replace("ü", "u")
    return letters.replace("ü", "v")


def area_of(lead, trail):
    if trail == 0x7F or (lead == 0xD7 and trail > 0xF9):
        return None
    for name, (lead_lo, lead_hi), (trail_lo, trail_hi) in AREAS:
        if lead_lo <= lead <= lead_hi and trail_lo <= trail <= trail_hi:
            return name
    return None


def build_index(readings, numbers):
    cells = [0] * (ROWS * COLUMNS)
    for lead in range(FIRST_LEAD, LAST_LEAD + 1):
        for trail in range(FIRST_TRAIL, LAST_TRAIL + 1):
            if area_of(lead, trail) is None:
                continue
            char = decode_pair(lead, trail)
            if char is None or 0xF900 <= ord(char) <= 0xFAFF:
                continue
            first = readings.get(ord(char))
            if first:
                cells[(lead - FIRST_LEAD) * COLUMNS + (trail - FIRST_TRAIL)] = numbers.get(toneless(first[0]), 0)
    return cells


def apply_fixed_cells(cells, syllables, numbers, readings):
    """Sets the fixed cells; returns the lines describing those that the data gave otherwise."""
    overrides = []
    for code, char, syllable in FIXED_CELLS:
        b = bytes.fromhex(code)
        if decode_pair(b[0], b[1]) != char:
            fail("%s does not decode to %s" % (code, char))
        if syllable is not None and syllable not in numbers:
            fail("%s is not in the syllable list" % syllable)
        wanted = numbers[syllable] if syllable is not None else 0
        i = (b[0] - FIRST_LEAD) * COLUMNS + (b[1] - FIRST_TRAIL)
        if cells[i] != wanted:
            overrides.append("%s %s %s -> %s (data: %s)" % (
                code, char, syllables[cells[i]] or "0", syllable or "0",
                ",".join(readings.get(ord(char), ["none"]))))
            cells[i] = wanted
    return overrides


def count_areas(cells):
    counts = {name: 0 for name, _, _ in AREAS}
    for lead in range(FIRST_LEAD, LAST_LEAD + 1):
        for trail in range(FIRST_TRAIL, LAST_TRAIL + 1):
            if cells[(lead - FIRST_LEAD) * COLUMNS + (trail - FIRST_TRAIL)]:
                name = area_of(lead, trail)
                if name is None:
                    fail("non-zero cell %02X%02X outside the Chinese-character areas" % (lead, trail))
                counts[name] += 1
    return counts


def render(cells):
    out = [
        "// Generated by tools/pinyin/make_pinyin_index.py from go-pinyin's pinyin_dict.go",
        "// (data derived from Unicode's Unihan database; see THIRD-PARTY-NOTICES.txt).",
        "// Do not edit: change the generator and run it again.",
        '#include "IMCode.h"',
        "",
        "#include <algorithm>",
        "",
        "constexpr std::array<std::uint16_t, PinyinIndexRows * PinyinIndexColumns> PinyinIndex = {",
    ]
    per_line = 16
    for row in range(ROWS):
        out.append("    // lead 0x%02X, trail 0x40 onwards" % (FIRST_LEAD + row))
        values = cells[row * COLUMNS:(row + 1) * COLUMNS]
        for i in range(0, COLUMNS, per_line):
            out.append("    " + " ".join("%d," % v for v in values[i:i + per_line]))
    out += [
        "};",
        "",
        "// GetPinyin reads PinyinSyllables[cell] without a bounds check.",
        "static_assert(std::all_of(PinyinIndex.begin(), PinyinIndex.end(),",
        "                          [](std::uint16_t cell) { return cell <= PinyinSyllableCount; }));",
        "",
    ]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dict", default=DEFAULT_DICT, help="go-pinyin's pinyin_dict.go")
    parser.add_argument("--syllables", default=DEFAULT_SYLLABLES, help="PinyinSyllables.cpp")
    parser.add_argument("--output", default=DEFAULT_OUTPUT, help="the C++ source to write")
    parser.add_argument("--cp936-table", default=DEFAULT_CP936_TABLE,
                        help="a Tcl encoding file of code page 936 to check the codec against, if present")
    args = parser.parse_args()

    if not os.path.exists(args.dict):
        fail("%s is missing; install golang-github-mozillazg-go-pinyin-dev" % args.dict)
    check_codec(args.cp936_table)
    syllables = read_syllables(args.syllables)
    numbers = {s: n for n, s in enumerate(syllables) if s}
    readings = read_readings(args.dict)

    cells = build_index(readings, numbers)
    overrides = apply_fixed_cells(cells, syllables, numbers, readings)
    counts = count_areas(cells)

    print("overrides of the data (%d):" % len(overrides))
    for line in overrides:
        print("  " + line)
    print("non-zero cells:")
    for name, (lead_lo, lead_hi), (trail_lo, trail_hi) in AREAS:
        last = "D7F9" if name == "GB2312 level 1" else "%02X%02X" % (lead_hi, trail_hi)
        print("  %-15s %02X%02X-%s %5d" % (name, lead_lo, trail_lo, last, counts[name]))
    used = set(cells)
    unused = [n for n in range(1, len(syllables)) if n not in used]
    print("syllables never referenced: " + ", ".join("%d %s" % (n, syllables[n] or "(empty)") for n in unused))

    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write(render(cells))
    print("wrote " + args.output)


if __name__ == "__main__":
    main()

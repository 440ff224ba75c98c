#!/usr/bin/python3
"""Runs every generator into a scratch folder and compares the result with data/.

A difference means that a committed file no longer matches its source (for example an
edited weblinks.txt without a regenerated readme): rerun the generator and commit.
"""
import filecmp
import pathlib
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
DATA = HERE.parent / "data"

GENERATORS = {
    "make_texts.py": ["version128.xml", "version160.xml", "version256.xml", "readme.txt"],
    "make_logos.py": ["logo_new.img", "template_logo.img"],
    "make_arrow.py": ["arrow.bmp"],
    "make_menghu.py": ["menghu.jpg"],
}


def main():
    failed = []
    with tempfile.TemporaryDirectory() as scratch:
        out = pathlib.Path(scratch)
        for script, files in GENERATORS.items():
            subprocess.run([sys.executable, str(HERE / script), "--out", str(out)],
                           check=True, stdout=subprocess.DEVNULL)
            for name in files:
                if not filecmp.cmp(out / name, DATA / name, shallow=False):
                    failed.append("%s: differs from what %s makes" % (name, script))
    for line in failed:
        print(line)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Runs the index generator into the build folder and compares its output with the
committed src/imcode/PinyinIndex.cpp. Exits 77 (skipped) when go-pinyin's data are not
installed."""

import argparse
import difflib
import os
import subprocess
import sys

SKIPPED = 77


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--generator", required=True)
    parser.add_argument("--committed", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--dict", default="/usr/share/gocode/src/github.com/mozillazg/go-pinyin/pinyin_dict.go")
    args = parser.parse_args()

    if not os.path.exists(args.dict):
        print("skipped: %s is missing (package golang-github-mozillazg-go-pinyin-dev)" % args.dict)
        return SKIPPED

    run = subprocess.run([sys.executable, args.generator, "--dict", args.dict, "--output", args.output],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    print(run.stdout, end="")
    if run.returncode != 0:
        print("the generator failed with exit code %d" % run.returncode)
        return 1

    with open(args.committed, encoding="utf-8") as f:
        committed = f.read().splitlines(keepends=True)
    with open(args.output, encoding="utf-8") as f:
        generated = f.read().splitlines(keepends=True)
    if committed == generated:
        print("the generated table matches %s" % args.committed)
        return 0
    diff = list(difflib.unified_diff(committed, generated, args.committed, args.output))
    sys.stdout.writelines(diff[:60])
    print("\n%s differs from a fresh run of the generator (%d diff lines)" % (args.committed, len(diff)))
    return 1


if __name__ == "__main__":
    sys.exit(main())

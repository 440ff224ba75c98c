#!/usr/bin/env python3
"""Installs the template package on real MTD: a qemu-system-arm virtual machine with
Debian's armmp kernel and an initramfs of our own, whose first process loads nandsim
(a NAND chip with a factory bad block at erase block 2), names its first partition
"logo", runs the updater like the recovery does and reads the raw flash back.

    mtd_vm_test.py --binary UPDATE_BINARY --supk SUPK --init VM_INIT --work DIR

Skipped (exit 77) with a message where qemu-system-arm or the kernel package cannot
be had.
"""
import argparse
import glob
import lzma
import os
import shutil
import subprocess
import sys
import zipfile

SKIP = 77
KERNEL_META = "linux-image-armmp:armhf"
NANDSIM_PARAMS = os.environ.get("NANDSIM_PARAMS", "parts=20 badblocks=2")


def skip(why):
    print("SKIP:", why)
    sys.exit(SKIP)


def fetch_kernel(cache):
    """vmlinuz and nandsim.ko from Debian's armhf kernel package, kept in cache."""
    done = os.path.join(cache, "ready")
    if not os.path.exists(done):
        os.makedirs(cache, exist_ok=True)
        deps = subprocess.run(["apt-cache", "depends", KERNEL_META], capture_output=True, text=True)
        pkg = next((l.split(":", 1)[1].strip() for l in deps.stdout.splitlines()
                    if l.strip().startswith("Depends:") and "linux-image-" in l), None)
        if deps.returncode != 0 or not pkg:
            skip("no %s in the package lists (scripts/install-deps.sh adds the armhf "
                 "architecture)" % KERNEL_META)
        if ":" not in pkg:
            pkg += ":armhf"
        dl = subprocess.run(["apt-get", "download", "-q", pkg], cwd=cache,
                            capture_output=True, text=True)
        debs = glob.glob(os.path.join(cache, "linux-image-*.deb"))
        if dl.returncode != 0 or not debs:
            skip("cannot download %s: %s" % (pkg, dl.stderr.strip()[-300:]))
        x = os.path.join(cache, "x")
        subprocess.run(["dpkg-deb", "-x", debs[0], x], check=True)
        vmlinuz = glob.glob(os.path.join(x, "boot/vmlinuz-*"))
        ko = glob.glob(os.path.join(x, "lib/modules/*/kernel/drivers/mtd/nand/raw/nandsim.ko*"))
        if not vmlinuz or not ko:
            skip("the kernel package has no vmlinuz or nandsim module")
        shutil.copy(vmlinuz[0], os.path.join(cache, "vmlinuz"))
        with open(ko[0], "rb") as f:
            data = f.read()
        if ko[0].endswith(".xz"):
            data = lzma.decompress(data)
        with open(os.path.join(cache, "nandsim.ko"), "wb") as f:
            f.write(data)
        shutil.rmtree(x)
        for d in debs:
            os.remove(d)
        open(done, "w").close()
    return os.path.join(cache, "vmlinuz"), os.path.join(cache, "nandsim.ko")


def cpio_newc(entries):
    """entries: (name, mode, data, (major, minor) or None)"""
    out = bytearray()

    def pad():
        while len(out) % 4:
            out.append(0)

    for ino, (name, mode, data, rdev) in enumerate(entries + [("TRAILER!!!", 0, b"", None)], 1):
        name_b = name.encode() + b"\0"
        major, minor = rdev or (0, 0)
        fields = [ino, mode, 0, 0, 1, 0, len(data), 0, 0, major, minor, len(name_b), 0]
        out += b"070701" + b"".join(b"%08X" % v for v in fields)
        out += name_b
        pad()
        out += data
        pad()
    return bytes(out)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--binary", required=True)
    ap.add_argument("--supk", required=True)
    ap.add_argument("--init", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--cache", required=True)
    args = ap.parse_args()

    if not shutil.which("qemu-system-arm"):
        skip("qemu-system-arm is missing (Debian package qemu-system-arm)")
    vmlinuz, nandsim = fetch_kernel(args.cache)

    os.makedirs(args.work, exist_ok=True)
    with zipfile.ZipFile(args.supk) as z:
        logo = z.read("logo_new.img")

    def blob(path):
        with open(path, "rb") as f:
            return f.read()

    initrd = cpio_newc([
        ("dev", 0o40755, b"", None),
        ("dev/console", 0o20600, b"", (5, 1)),
        ("proc", 0o40755, b"", None),
        ("tmp", 0o41777, b"", None),
        ("init", 0o100755, blob(args.init), None),
        ("update-binary", 0o100755, blob(args.binary), None),
        ("package.zip", 0o100644, blob(args.supk), None),
        ("logo_new.img", 0o100644, logo, None),
        ("nandsim.ko", 0o100644, blob(nandsim), None),
        ("nandsim.params", 0o100644, NANDSIM_PARAMS.encode(), None),
    ])
    initrd_path = os.path.join(args.work, "initrd.cpio")
    with open(initrd_path, "wb") as f:
        f.write(initrd)

    cmd = ["qemu-system-arm", "-M", "virt", "-cpu", "cortex-a15", "-m", "256", "-smp", "1",
           "-nographic", "-monitor", "none", "-nic", "none", "-no-reboot",
           "-kernel", vmlinuz, "-initrd", initrd_path,
           "-append", "console=ttyAMA0 rdinit=/init panic=-1 quiet loglevel=3"]
    try:
        run = subprocess.run(cmd, capture_output=True, timeout=300, stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired as e:
        print((e.stdout or b"").decode(errors="replace")[-4000:])
        print("FAIL: the virtual machine did not finish")
        return 1
    console = run.stdout.decode(errors="replace").replace("\r", "")
    with open(os.path.join(args.work, "console.txt"), "w") as f:
        f.write(console)
    # the serial console may put kernel messages before a line; the text after the
    # marker is kept byte for byte (the banner ends with a space)
    lines = [l[l.index("VM-"):] if "VM-" in l else l for l in console.splitlines()]
    vm = [l for l in lines if l.startswith("VM-")]
    pipe = [l[len("VM-PIPE "):] for l in vm if l.startswith("VM-PIPE ")]
    for l in vm:
        print(l)
    problems = []
    if "VM-EXIT 0" not in vm:
        problems.append("the updater did not exit with 0")
    if "VM-BAD 2" not in vm:
        problems.append("the factory bad block is not reported bad")
    if "VM-VERIFIED %d" % len(logo) not in vm:
        problems.append("the flash does not hold logo_new.img around the bad block")
    if "VM-DONE 0" not in vm:
        problems.append("the virtual machine did not finish cleanly")
    expected_text = ["ui_print  vemol logo tool for u830 ", "ui_print Install complete!"]
    if [p for p in pipe if p.startswith("ui_print ")] != expected_text:
        problems.append("unexpected ui_print lines")
    if pipe[-1:] != ["ui_print"] or "set_progress 1.000" not in pipe:
        problems.append("unexpected progress lines")
    if problems:
        print(console[-4000:])
        for p in problems:
            print("FAIL:", p)
        return 1
    print("ok: installed on nandsim in the virtual machine")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""A stand-in for the phone's recovery: runs a package's updater program under
qemu-arm in a chroot that looks like the phone (a /proc/mtd naming the partitions,
/dev/mtd/mtdN as plain files), and collects what it says over the pipe.

Used by the ctest cases and by install_in_qemu.sh.
"""
import dataclasses
import os
import shutil
import subprocess
import sys
import zipfile

BINARY_ENTRY = "META-INF/com/google/android/update-binary"
SKIP = 77  # ctest's SKIP_RETURN_CODE


def skip_reason():
    """Why the emulated install cannot run here, or None."""
    if os.geteuid() != 0:
        return "the emulated install needs root (chroot)"
    if not shutil.which("qemu-arm-static"):
        return "qemu-arm-static is missing (Debian package qemu-user-static)"
    return None


@dataclasses.dataclass
class Partition:
    name: str
    index: int
    size: int = 0x40000
    erase_size: int = 0x20000
    fill: bytes = b"\x00"      # what the device file holds before the install
    device: str = "/dev/mtd/mtd"  # or "/dev/mtd" for the flat layout


@dataclasses.dataclass
class Result:
    returncode: int
    lines: list
    stderr: str
    root: str
    partitions: dict           # name -> bytes after the install

    def printed(self):
        """The texts of the ui_print commands (bare ones left out)."""
        return [l[len("ui_print "):] for l in self.lines if l.startswith("ui_print ")]


def default_partitions():
    return [Partition("boot", 0), Partition("recovery", 1), Partition("logo", 3)]


def binary_from_package(package, dest):
    with zipfile.ZipFile(package) as z, open(dest, "wb") as out:
        out.write(z.read(BINARY_ENTRY))
    os.chmod(dest, 0o755)


def make_root(root, package, binary, partitions):
    if os.path.exists(root):
        shutil.rmtree(root)
    for d in ("proc", "tmp", "dev/mtd"):
        os.makedirs(os.path.join(root, d))
    shutil.copy(shutil.which("qemu-arm-static"), os.path.join(root, "qemu-arm-static"))
    shutil.copy(binary, os.path.join(root, "update-binary"))
    os.chmod(os.path.join(root, "update-binary"), 0o755)
    if package is not None:
        shutil.copy(package, os.path.join(root, "package.zip"))
    lines = ["dev:    size   erasesize  name"]
    for p in partitions:
        lines.append(f'mtd{p.index}: {p.size:08x} {p.erase_size:08x} "{p.name}"')
        path = os.path.join(root, p.device.lstrip("/") + str(p.index))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write((p.fill * p.size)[:p.size])
    with open(os.path.join(root, "proc/mtd"), "w") as f:
        f.write("\n".join(lines) + "\n")


def run(binary, package, root, partitions=None, args=None, strace=False, timeout=120):
    """Installs package (None: no package file at all) with binary; args are the
    updater's arguments after the program name, with {fd} for the pipe's number."""
    partitions = default_partitions() if partitions is None else partitions
    make_root(root, package, binary, partitions)
    r, w = os.pipe()
    args = ["3", "{fd}", "/package.zip"] if args is None else args
    argv = [a.replace("{fd}", str(w)) for a in args]
    cmd = ["chroot", root, "/qemu-arm-static", "-cpu", "arm926"]
    if strace:
        cmd.append("-strace")
    cmd += ["/update-binary"] + argv
    err_path = os.path.join(os.path.dirname(os.path.abspath(root)),
                            os.path.basename(root) + ".stderr")
    with open(err_path, "wb") as err:
        proc = subprocess.Popen(cmd, pass_fds=[w], stdin=subprocess.DEVNULL,
                                stdout=err, stderr=err)
    os.close(w)
    data = b""
    with os.fdopen(r, "rb") as pipe:
        while True:
            chunk = pipe.read1(65536)
            if not chunk:
                break
            data += chunk
    rc = proc.wait(timeout=timeout)
    with open(err_path, "r", errors="replace") as f:
        stderr = f.read()
    after = {}
    for p in partitions:
        with open(os.path.join(root, p.device.lstrip("/") + str(p.index)), "rb") as f:
            after[p.name] = f.read()
    lines = data.decode("utf-8", errors="replace").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return Result(rc, lines, stderr, root, after)


def main():
    import argparse
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("package")
    ap.add_argument("outdir")
    ap.add_argument("--binary", help="updater program (default: the package's own)")
    ap.add_argument("--partition-size", type=lambda s: int(s, 0), default=0x40000)
    args = ap.parse_args()
    reason = skip_reason()
    if reason:
        print("SKIP:", reason)
        return SKIP
    os.makedirs(args.outdir, exist_ok=True)
    binary = args.binary
    if not binary:
        binary = os.path.join(args.outdir, "update-binary")
        binary_from_package(args.package, binary)
    parts = default_partitions()
    for p in parts:
        p.size = args.partition_size if p.name == "logo" else p.size
    res = run(binary, args.package, os.path.join(args.outdir, "root"), parts)
    with open(os.path.join(args.outdir, "pipe.txt"), "w") as f:
        f.write("\n".join(res.lines) + "\n")
    logo = res.partitions["logo"]
    with open(os.path.join(args.outdir, "logo-partition.img"), "wb") as f:
        f.write(logo)
    for line in res.lines:
        print("pipe:", line)
    print("exit code:", res.returncode)
    if res.returncode != 0:
        return 1
    with zipfile.ZipFile(args.package) as z:
        image = z.read("logo_new.img")
    if logo[:len(image)] != image:
        print("FAIL: the logo partition does not hold logo_new.img")
        return 1
    print(f"OK: the logo partition holds logo_new.img ({len(image)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

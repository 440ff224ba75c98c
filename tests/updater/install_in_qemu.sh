#!/bin/sh
# Installs an update package the way the phone's recovery does, under qemu-arm:
# the package's own updater program runs on it in a chroot whose /proc/mtd names a
# 256 KiB "logo" partition backed by a plain file. Exits 0 when the install succeeded
# and the partition holds the package's logo_new.img byte for byte; 77 when it cannot
# run here (not root, no qemu-arm-static).
#   install_in_qemu.sh PACKAGE OUTDIR
# OUTDIR receives root/ (the chroot), pipe.txt (the commands sent to the recovery)
# and logo-partition.img.
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 PACKAGE OUTDIR" >&2
  exit 2
fi
exec python3 "$(dirname "$0")/fake_recovery.py" "$1" "$2"

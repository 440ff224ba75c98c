#!/usr/bin/env bash
# Installs what building, running and testing u830logo needs on Debian 12.
# Quick when everything is already there: apt is only called for missing packages.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libjpeg-dev zlib1g-dev libzip-dev
  gzip zip unzip
  googletest libgtest-dev libbenchmark-dev
  fonts-arphic-uming fontconfig
  xvfb xdotool xclip x11-utils imagemagick
  python3
  gcc-arm-linux-gnueabi binutils-arm-linux-gnueabi
  qemu-user-static qemu-system-arm
  golang-github-mozillazg-go-pinyin-dev
  musl-dev:armel
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The phone-side updater links against musl for armel; the updater's test on emulated
# NAND boots Debian's armhf kernel (downloaded by that test with apt-get download).
for arch in armel armhf; do
  if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    $sudo dpkg --add-architecture "$arch"
    need_update=1
  fi
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ] || [ -n "${need_update:-}" ]; then
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
fi
if [ "${#missing[@]}" -gt 0 ]; then
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

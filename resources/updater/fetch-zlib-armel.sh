#!/bin/sh
# Provides zlib's static library and headers for armel in DIR (DIR/include, DIR/lib).
# Debian's zlib1g-dev:armel cannot be installed beside the amd64 one on every system
# (it wants libc6-dev:armel), so the package is downloaded and unpacked instead.
set -eu
dir=$1
[ -f "$dir/lib/libz.a" ] && [ -f "$dir/include/zlib.h" ] && exit 0

# An installed armel zlib serves as well.
if [ -f /usr/lib/arm-linux-gnueabi/libz.a ] && [ -f /usr/include/zlib.h ]; then
  mkdir -p "$dir/lib" "$dir/include"
  cp /usr/lib/arm-linux-gnueabi/libz.a "$dir/lib/"
  cp /usr/include/zlib.h "$dir/include/"
  cp /usr/include/arm-linux-gnueabi/zconf.h "$dir/include/" 2>/dev/null || cp /usr/include/zconf.h "$dir/include/"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get download -q zlib1g-dev:armel >/dev/null 2>&1) || {
  echo "cannot download zlib1g-dev:armel: run scripts/install-deps.sh (it adds the armel architecture)" >&2
  exit 1
}
dpkg-deb -x "$work"/zlib1g-dev_*_armel.deb "$work/x"
mkdir -p "$dir/lib" "$dir/include"
cp "$work/x/usr/lib/arm-linux-gnueabi/libz.a" "$dir/lib/"
cp "$work/x/usr/include/zlib.h" "$dir/include/"
if [ -f "$work/x/usr/include/arm-linux-gnueabi/zconf.h" ]; then
  cp "$work/x/usr/include/arm-linux-gnueabi/zconf.h" "$dir/include/"
else
  cp "$work/x/usr/include/zconf.h" "$dir/include/"
fi

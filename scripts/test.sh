#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, then the
# sanitizer build (AddressSanitizer and UndefinedBehaviorSanitizer).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
for preset in default asan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

#!/usr/bin/env bash
# Installs what is missing, builds, and starts u830logo from its build folder
# (the program writes temp/, the sample picture and its packages beside itself).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
cd build/default/bin
exec ./u830logo

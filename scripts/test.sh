#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test and
# every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

jobs=$(nproc)
for preset in host win32; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset -j "$jobs"
done

ctest --preset host -j "$jobs"
# Every fuzz target briefly: they keep building and their seeds stay clean.
./scripts/fuzz.sh all 15

trap './scripts/wine-session.sh stop' EXIT
./scripts/wine-session.sh start --fresh
# Windows tests share one display and one prefix: run them one at a time.
ctest --preset win32

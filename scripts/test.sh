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

# Windows tests move the one cursor of their display and own its foreground:
# they run one at a time per Wine session, in as many sessions side by side
# as half the cores carry (Wine's server and the X server take the rest).
sessions=$((jobs / 2))
[ "$sessions" -ge 1 ] || sessions=1
trap './scripts/wine-session.sh stop' EXIT
./scripts/wine-session.sh start --fresh --sessions "$sessions"
# One more job than sessions: the reproducibility check needs no session.
ctest --preset win32 -j $((sessions + 1)) --resource-spec-file "$(source scripts/wine-env.sh && echo "$zuvo_resource_file")"

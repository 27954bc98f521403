#!/usr/bin/env bash
# The test form with every control the adapters skin, skinned against
# unskinned, under Wine, in one run (a full repaint and resizing through
# 50 sizes, each at most 2x).
#
#   bench/skin/adapters/adapters-form-bench.sh [rounds] [packed skin]
#
# Builds the win32 preset's benchmark and the skin, and uses the running Wine
# session (scripts/wine-session.sh) or starts one for the duration of the run.
set -euo pipefail
cd "$(dirname "$0")/../../.."
rounds=${1:-5}
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${BENCH_JOBS:-$(nproc)}" --target AdaptersFormBench zuvo_beryllo_skin >/dev/null
skin=${2:-$PWD/build/win32/skins/Beryllo.data}
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null
fi
scripts/wine-exec.sh build/win32/bench/skin/adapters/AdaptersFormBench.exe "Z:$skin" "$rounds"

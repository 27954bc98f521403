#!/usr/bin/env bash
# The skinned scrolling controls against the same controls unskinned, under
# Wine, in one run (scrolling at most 1.3x, a full form repaint at most 2x,
# a combo's list dropped and closed at most 1.5x).
#
#   bench/skin/adapters/scroll-bars-bench.sh [rounds] [packed skin]
#
# Builds the win32 preset's benchmark and the skin, and uses the running Wine
# session (scripts/wine-session.sh) or starts one for the duration of the run.
set -euo pipefail
cd "$(dirname "$0")/../../.."
rounds=${1:-5}
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${BENCH_JOBS:-$(nproc)}" --target ScrollBarsBench zuvo_beryllo_skin >/dev/null
skin=${2:-$PWD/build/win32/skins/Beryllo.data}
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null
fi
scripts/wine-exec.sh build/win32/bench/skin/adapters/ScrollBarsBench.exe "Z:$skin" "$rounds"

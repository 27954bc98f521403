#!/usr/bin/env bash
# A child of a skinned MDI parent maximized and restored, against the same
# application unskinned, under Wine, in one run (at most 1.5x).
#
#   bench/skin/forms/mdi-bench.sh [rounds] [packed skin]
#
# Builds the win32 preset's benchmark and the skin, and uses the running Wine
# session (scripts/wine-session.sh) or starts one for the duration of the run.
set -euo pipefail
cd "$(dirname "$0")/../../.."
rounds=${1:-20}
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${BENCH_JOBS:-$(nproc)}" --target MDIBench zuvo_beryllo_skin >/dev/null
skin=${2:-$PWD/build/win32/skins/Beryllo.data}
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null
fi
scripts/wine-exec.sh build/win32/bench/skin/forms/MDIBench.exe "Z:$skin" "$rounds"

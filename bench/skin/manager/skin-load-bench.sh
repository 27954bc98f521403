#!/usr/bin/env bash
# Loads the stored skin Beryllo (unpacking, options, pictures, section table,
# index cache) beside the same work done plainly (its container inflated, its
# PNG pictures decoded by libpng, its BMP read by the system), under Wine, in
# one run; the goal is a load of at most 1.5 times the plain work.
#
#   bench/skin/manager/skin-load-bench.sh [rounds] [packed skin]
#
# Builds the win32 preset's benchmark and the skin, and uses the running Wine
# session (scripts/wine-session.sh) or starts one for the duration of the run.
set -euo pipefail
cd "$(dirname "$0")/../../.."
rounds=${1:-50}
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${BENCH_JOBS:-$(nproc)}" --target SkinLoadBench zuvo_beryllo_skin >/dev/null
skin=${2:-$PWD/build/win32/skins/Beryllo.data}
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null
fi
scripts/wine-exec.sh build/win32/bench/skin/manager/SkinLoadBench.exe "Z:$skin" "$rounds"

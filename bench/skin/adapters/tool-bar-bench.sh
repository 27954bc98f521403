#!/usr/bin/env bash
# The cursor across a skinned tool bar against the system's, under Wine
# (ToolBarBench.cpp).
#   bench/skin/adapters/tool-bar-bench.sh [rounds] [packed skin]
set -euo pipefail
cd "$(dirname "$0")/../../.."
rounds=${1:-50}
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${BENCH_JOBS:-$(nproc)}" --target ToolBarBench zuvo_beryllo_skin >/dev/null
skin=${2:-$PWD/build/win32/skins/Beryllo.data}
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null
fi
scripts/wine-exec.sh build/win32/bench/skin/adapters/ToolBarBench.exe "Z:$skin" "$rounds"

#!/usr/bin/env bash
# Skinned popup menus against the system's, under Wine (MenuBench.cpp).
#   bench/skin/adapters/menu-bench.sh [rounds] [packed skin]
set -euo pipefail
cd "$(dirname "$0")/../../.."
rounds=${1:-100}
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${BENCH_JOBS:-$(nproc)}" --target MenuBench zuvo_beryllo_skin >/dev/null
skin=${2:-$PWD/build/win32/skins/Beryllo.data}
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null
fi
scripts/wine-exec.sh build/win32/bench/skin/adapters/MenuBench.exe "Z:$skin" "$rounds"

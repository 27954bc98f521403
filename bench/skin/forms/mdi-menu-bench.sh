#!/usr/bin/env bash
# The merged menu line of a skinned MDI parent with a maximized child
# beside the system drawing the same merged bar, under Wine. The goal is at
# most 1.5 times the system's bar.
#
#   bench/skin/forms/mdi-menu-bench.sh [rounds] [packed skin]
set -euo pipefail
cd "$(dirname "$0")/../../.."
rounds=${1:-300}
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${BENCH_JOBS:-$(nproc)}" --target MDIMenuLineBench zuvo_beryllo_skin >/dev/null
skin=${2:-$PWD/build/win32/skins/Beryllo.data}
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null
fi
scripts/wine-exec.sh build/win32/bench/skin/forms/MDIMenuLineBench.exe "Z:$skin" "$rounds"

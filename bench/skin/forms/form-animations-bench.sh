#!/usr/bin/env bash
# A frame of the show, hide and skin-change fades of an 800 x 600 skinned
# form, and a tick of a caption button's fade, each beside a bare
# UpdateLayeredWindow of the same picture, under Wine. The goal is at most
# 1.2 times the bare update, so that no frame overruns its 10-ms slot.
#
#   bench/skin/forms/form-animations-bench.sh [rounds] [packed skin]
set -euo pipefail
cd "$(dirname "$0")/../../.."
rounds=${1:-200}
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${BENCH_JOBS:-$(nproc)}" --target FormAnimationsBench zuvo_beryllo_skin >/dev/null
skin=${2:-$PWD/build/win32/skins/Beryllo.data}
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null
fi
scripts/wine-exec.sh build/win32/bench/skin/forms/FormAnimationsBench.exe "Z:$skin" "$rounds"

#!/usr/bin/env bash
# Builds the micro-benchmarks of one area in release mode without sanitizers
# (preset bench, folder build/bench) and runs them; further arguments go to
# the benchmark program (for example --benchmark_filter=Blend).
#
#   scripts/bench.sh skin [benchmark options...]
#
# The installer is timed as a whole under Wine instead (win32 preset):
#
#   scripts/bench.sh installer [runs]     (bench/installer/install-bench.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
area=${1:-skin}
[ $# -gt 0 ] && shift

case $area in
  installer) ./scripts/setup.sh; exec bench/installer/install-bench.sh "$@" ;;
  skin) target=SkinGraphicsBench; program=build/bench/bench/skin/graphics/SkinGraphicsBench ;;
  *) echo "bench: unknown area '$area' (known: skin, installer)" >&2; exit 2 ;;
esac

./scripts/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target "$target" -j "$(nproc)"
exec "$program" "$@"

#!/usr/bin/env bash
# Builds the micro-benchmarks of one area in release mode without sanitizers
# (preset bench, folder build/bench), runs each of its programs and prints
# one table of every routine beside its peer. Further arguments go to every
# program (for example --benchmark_filter=Blend); by default each benchmark
# runs 5 times in random order and the median counts.
#
#   scripts/bench.sh [-j jobs] skin [benchmark options...]
#
# Every area builds what it runs with the given number of parallel jobs
# (-j, else BENCH_JOBS, else one per processor).
#
# Each program prints its results as rows in one format (bench/BenchRows.h);
# a new program joins the table by being named in the area's list below.
# The full output of every program is kept in build/<preset>/<area>-bench.log.
#
# The same programs as the 32-bit Windows build runs them, under Wine, beside
# pixman and libpng built for it the same way (win32 preset, folder
# build/win32; timed by the wall clock there):
#
#   scripts/bench.sh skin32 [benchmark options...]
#
# The installer is timed as a whole under Wine, to its windows painted on the
# screen, beside NSIS doing the same work and beside itself with the skin
# off, with the ratios (win32 preset):
#
#   scripts/bench.sh installer [runs]     (bench/installer/install-bench.sh)
#
# Loading the stored skin beside inflating its container and decoding its
# pictures with libpng, under Wine:
#
#   scripts/bench.sh skinload [rounds]    (bench/skin/manager/skin-load-bench.sh)
#
# Skinned controls beside the system's own, under Wine:
#
#   scripts/bench.sh menus [rounds]       (bench/skin/adapters/menu-bench.sh)
#   scripts/bench.sh scrolling [rounds]   (bench/skin/adapters/scroll-bars-bench.sh)
#   scripts/bench.sh adaptersform [rounds] (bench/skin/adapters/adapters-form-bench.sh)
#   scripts/bench.sh animations [rounds]  (bench/skin/forms/form-animations-bench.sh)
#   scripts/bench.sh dialogs [rounds]     (bench/skin/adapters/dialog-bench.sh)
#   scripts/bench.sh mdimenu [rounds]     (bench/skin/forms/mdi-menu-bench.sh)
#   scripts/bench.sh mdi [rounds]         (bench/skin/forms/mdi-bench.sh)
#   scripts/bench.sh toolbar [rounds]     (bench/skin/adapters/tool-bar-bench.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = -j ]; then
  [ $# -ge 2 ] || { echo "bench: -j needs a number" >&2; exit 2; }
  export BENCH_JOBS=$2
  shift 2
fi
area=${1:-skin}
[ $# -gt 0 ] && shift

case $area in
  installer) ./scripts/setup.sh; exec bench/installer/install-bench.sh "$@" ;;
  skinload) ./scripts/setup.sh; exec bench/skin/manager/skin-load-bench.sh "$@" ;;
  menus) ./scripts/setup.sh; exec bench/skin/adapters/menu-bench.sh "$@" ;;
  scrolling) ./scripts/setup.sh; exec bench/skin/adapters/scroll-bars-bench.sh "$@" ;;
  adaptersform) ./scripts/setup.sh; exec bench/skin/adapters/adapters-form-bench.sh "$@" ;;
  animations) ./scripts/setup.sh; exec bench/skin/forms/form-animations-bench.sh "$@" ;;
  dialogs) ./scripts/setup.sh; exec bench/skin/adapters/dialog-bench.sh "$@" ;;
  mdimenu) ./scripts/setup.sh; exec bench/skin/forms/mdi-menu-bench.sh "$@" ;;
  mdi) ./scripts/setup.sh; exec bench/skin/forms/mdi-bench.sh "$@" ;;
  toolbar) ./scripts/setup.sh; exec bench/skin/adapters/tool-bar-bench.sh "$@" ;;
  # Programs (CMake targets) and their folders under the preset's build folder.
  skin|skin32) programs=(SkinGraphicsBench:bench/skin/graphics PngDecodeBench:bench/skin/png) ;;
  *) echo "bench: unknown area '$area' (known: skin, skin32, installer, skinload, menus, scrolling, adaptersform, animations, dialogs, mdi, mdimenu, toolbar)" >&2; exit 2 ;;
esac
preset=bench
run=()
suffix=""
if [ "$area" = skin32 ]; then
  preset=win32
  run=(scripts/wine-exec.sh)
  suffix=.exe
fi

options=("$@")
[ ${#options[@]} -gt 0 ] || options=(--benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
                                     --benchmark_report_aggregates_only=true)

if [ "$area" = skin32 ]; then ZUVO_BENCH_LIBS=1 ./scripts/setup.sh; else ./scripts/setup.sh; fi
cmake --preset $preset >/dev/null
targets=()
for p in "${programs[@]}"; do targets+=("${p%%:*}"); done
cmake --build --preset $preset --target "${targets[@]}" -j "${BENCH_JOBS:-$(nproc)}"
if [ ${#run[@]} -gt 0 ]; then
  source scripts/wine-env.sh
  if [ ! -f "$zuvo_display_file" ]; then
    trap './scripts/wine-session.sh stop' EXIT
    ./scripts/wine-session.sh start >/dev/null </dev/null
  fi
fi

log=build/$preset/$area-bench.log
: >"$log"
for p in "${programs[@]}"; do
  echo "== ${p%%:*}" | tee -a "$log"
  "${run[@]}" "build/$preset/${p#*:}/${p%%:*}$suffix" "${options[@]}" 2>&1 | tee -a "$log" | { grep -v 'row	' || true; }
done

echo
awk -F'\t' '
  BEGIN { printf "%-24s %10s %-5s  %-20s %10s %8s\n", "routine", "rate", "unit", "peer", "peer rate", "ratio" }
  { gsub(/\033\[[0-9;]*m|\r$/, "") }  # colour codes of the console output, Windows line ends
  $1 == "row" {
    ratio = ($5 == "-" || $6 + 0 <= 0) ? "" : sprintf("%.2fx", $3 / $6)
    printf "%-24s %10.0f %-5s  %-20s %10s %8s\n", $2, $3, $4, ($5 == "-" ? "" : $5),
           ($6 == "-" ? "" : sprintf("%.0f", $6)), ratio
  }' "$log"

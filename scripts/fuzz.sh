#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang, ASan, UBSan) and runs one
# target or all of them for a while; CI runs each briefly so that they keep
# building and their seeds stay clean.
#
#   scripts/fuzz.sh [target|all] [seconds]        (default: all, 15 seconds)
#
# Targets run from their seeds (tests/fuzz/seeds/<target>) and a corpus kept
# between runs in build/fuzz/corpus/<target>. The readers of pictures and of
# the packed container take inputs of up to 2 MiB, room enough for a header
# to announce an image of gigabytes and for data that passes the readers'
# checks of the stream's length; any single allocation of 512 MiB or more
# (more than the 32-bit program can spare) is a finding. What fails lands in
# build/fuzz/artifacts/<target>/, the output in build/fuzz/logs/<target>.log.
# ZUVO_FUZZ_JOBS targets run at once (default 4); the build runs
# ZUVO_FUZZ_BUILD_JOBS compilers at once (default: one per core). The summary
# gives the seconds each target ran, fewer than asked when it stopped at a
# failure. Exits non-zero when any target reports a crash, a leak, a
# sanitizer report, a timeout or running out of memory.
set -euo pipefail
cd "$(dirname "$0")/.."
which=${1:-all}
seconds=${2:-15}
jobs=${ZUVO_FUZZ_JOBS:-4}
build_jobs=${ZUVO_FUZZ_BUILD_JOBS:-$(nproc)}

./scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$build_jobs"

build=build/fuzz
if [ "$which" = all ]; then
  targets=$(ls "$build/fuzzers")
else
  [ -x "$build/fuzzers/$which" ] || { echo "fuzz: unknown target '$which' (known: $(ls "$build/fuzzers" | xargs))" >&2; exit 2; }
  targets=$which
fi

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
run() {
  local t=$1 seeds=tests/fuzz/seeds/$1 dict=tests/fuzz/$1.dict
  mkdir -p "$build/corpus/$t" "$build/artifacts/$t" "$build/logs"
  local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512
                 -print_final_stats=1 -artifact_prefix="$build/artifacts/$t/")
  [ -f "$dict" ] && options+=(-dict="$dict")
  case $t in png|jpeg|bmp|ico|skinpack) options+=(-max_len=2097152) ;; esac
  local log=$build/logs/$t.log status=clean start
  start=$(date +%s)
  "$build/fuzzers/$t" "${options[@]}" "$build/corpus/$t" "$seeds" >"$log" 2>&1 || status=FAILED
  local ran=$(($(date +%s) - start))
  local runs rss
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
  printf '%-11s %4s s %10s runs  corpus %5s  peak %5s MB  %s\n' "$t" "$ran" "${runs:-?}" \
    "$(ls "$build/corpus/$t" | wc -l)" "${rss:-?}" "$status"
  if [ $status != clean ]; then
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -20 >&2
    return 1
  fi
}

# Each target leaves a mark when it fails: the shell may already have
# forgotten the status of a job that ended while the loop counted the running
# ones, so that waiting for it by its id would answer "not a child".
marks=$(mktemp -d)
trap 'rm -rf "$marks"' EXIT
for t in $targets; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 1; done
  { run "$t" || : >"$marks/$t"; } &
done
wait
failed=$(ls "$marks")
[ -z "$failed" ] || { echo "fuzz: failed: $(echo $failed)" >&2; exit 1; }

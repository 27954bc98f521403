#!/usr/bin/env bash
# Measures what compiling the generated Unit1.h costs: wall time and peak
# memory of the compiler for PayloadFiles.cpp (the one translation unit that
# includes it), with the flags the build uses (-O0 -g0 for that file) and,
# for comparison, with the project's release flags (-O2 -g).
#
#   bench/unit1-compile.sh [win32 build folder]     (default build/win32)
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../build/win32}" && pwd)
command=$(python3 - "$build/compile_commands.json" <<'PY'
import json, sys
for entry in json.load(open(sys.argv[1])):
    if entry["file"].endswith("installer/PayloadFiles.cpp"):
        print(entry["command"])
PY
)
[ -n "$command" ] || { echo "PayloadFiles.cpp is not in $build/compile_commands.json" >&2; exit 2; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
header="$build/payload/generated/Unit1.h"
echo "Unit1.h: $(stat -c %s "$header") bytes, $(grep -o '"[0-9A-F][0-9A-F]"' "$header" | wc -l) elements"

measure() {
  local label=$1 flags=$2
  # The build's command with our flags last (the last -O and -g win) and
  # our own object file.
  local cmd="${command%% -o *} $flags -o $out/PayloadFiles.obj -c ${command##* -c }"
  (cd "$build" && /usr/bin/time -f "%e %M" bash -c "$cmd" 2>"$out/time") || { cat "$out/time"; exit 1; }
  read -r seconds kilobytes < <(tail -1 "$out/time")
  printf '%-22s %6.1f s  %6d MB peak  %6d KB object\n' "$label" "$seconds" $((kilobytes / 1024)) \
    $(($(stat -c %s "$out/PayloadFiles.obj") / 1024))
}
measure "as built (-O0 -g0)" "-O0 -g0"
measure "release flags (-O2 -g)" "-O2 -g"

#!/usr/bin/env bash
# Builds the sample product and Unit1.h a second time, in a fresh folder at
# another path, and compares them byte for byte with those of the given win32
# build folder. Any time stamp or build path in the bytes shows up here.
#
#   scripts/check-sample-reproducible.sh <win32 build folder>
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
first=$(cd "$1" && pwd)
second=$(mktemp -d "${TMPDIR:-/tmp}/zuvo-second-build.XXXXXX")
trap 'rm -rf "$second"' EXIT

cmake -S "$src" -B "$second" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUVO_PAYLOAD_DIR= >/dev/null
cmake --build "$second" --target zuvo_payload >/dev/null

status=0
count=0
while IFS= read -r -d '' file; do
  name=${file#"$first/payload/sample/"}
  count=$((count + 1))
  if ! cmp -s "$file" "$second/payload/sample/$name"; then
    echo "differs between the two builds: $name"
    status=1
  fi
done < <(find "$first/payload/sample" -type f -print0)
if [ "$count" -ne 11 ]; then
  echo "expected the eleven files of the sample product in $first/payload/sample, found $count"
  status=1
fi
if ! cmp -s "$first/payload/generated/Unit1.h" "$second/payload/generated/Unit1.h"; then
  echo "differs between the two builds: Unit1.h"
  status=1
fi
[ $status -eq 0 ] && echo "the sample product and Unit1.h are the same in both builds ($count files)"
exit $status

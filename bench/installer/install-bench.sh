#!/usr/bin/env bash
# Times whole installs of the embedded product under Wine, to the windows
# painted on the screen, beside NSIS 3 installing the same eleven files with
# its own window and then starting the product and putting its shortcut (its
# installer is built here from the payload folder), and beside the same
# installer with its skin off; compares the programs' sizes, then takes our
# install procedure apart into its phases.
#
#   bench/installer/install-bench.sh [runs]        (default 5 counted runs)
#
# Builds the win32 preset's installer and the two bench programs, and uses
# the running Wine session (scripts/wine-session.sh) or starts one for the
# duration of the run.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${BENCH_JOBS:-$(nproc)}" --target ZuvoSetup ZuvoSetupUnskinned InstallBench InstallPhasesBench >/dev/null
build=build/win32
payload=$(sed -n 's/^ZUVO_PAYLOAD_FOLDER:INTERNAL=//p' $build/CMakeCache.txt)
peer=$build/bench/installer/NsisPeer.exe
makensis -V1 -INPUTCHARSET UTF8 -DPAYLOAD="$payload" -DOUTFILE="$PWD/$peer" bench/installer/NsisPeer.nsi
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null </dev/null
fi
echo "== ZuvoSetup.exe, NSIS $(makensis -VERSION) and ZuvoSetup.exe unskinned, each driven with the mouse"
peer_windows=Z:$PWD/$peer
scripts/wine-exec.sh $build/bench/installer/InstallBench.exe "$runs" "${peer_windows//\//\\}"
awk -v ours="$(stat -c %s $build/installer/ZuvoSetup.exe)" -v theirs="$(stat -c %s "$peer")" \
  'BEGIN { printf "%-30s %8.2f MB %19s %8.2f MB %17s %5.2fx\n", "program file", ours / 1048576, "",
           theirs / 1048576, "", ours / theirs }'
echo "== the install procedure in its phases"
scripts/wine-exec.sh $build/bench/installer/InstallPhasesBench.exe "$runs"

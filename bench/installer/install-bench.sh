#!/usr/bin/env bash
# Times whole installs of the embedded product under Wine against copying
# the same eleven files, then takes the install procedure apart into its
# phases (conversion, progress steps, pumping, writing).
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
cmake --build --preset win32 -j "$(nproc)" --target ZuvoSetup InstallBench InstallPhasesBench >/dev/null
source scripts/wine-env.sh
if [ ! -f "$zuvo_display_file" ]; then
  trap './scripts/wine-session.sh stop' EXIT
  ./scripts/wine-session.sh start >/dev/null
fi
echo "== ZuvoSetup.exe driven with the mouse, against a copy"
scripts/wine-exec.sh build/win32/bench/installer/InstallBench.exe "$runs"
echo "== the install procedure in its phases"
scripts/wine-exec.sh build/win32/bench/installer/InstallPhasesBench.exe "$runs"

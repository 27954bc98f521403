#!/usr/bin/env bash
# Installs what is missing, builds the installer and runs it under Wine.
# Without a display of your own, it runs on a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target ZuvoSetup
exe=build/win32/installer/ZuvoSetup.exe
if [ -n "${DISPLAY:-}" ]; then
  source scripts/wine-env.sh
  export WINEPREFIX=${ZUVO_RUN_PREFIX:-$HOME/.wine-zuvo}
  exec wine "$exe" "$@"
fi
trap './scripts/wine-session.sh stop' EXIT
./scripts/wine-session.sh start
./scripts/wine-exec.sh "$exe" "$@"

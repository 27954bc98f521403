#!/usr/bin/env bash
# Runs one Windows program in the running Wine session (scripts/wine-session.sh).
source "$(dirname "$0")/wine-env.sh"
if [ ! -f "$zuvo_display_file" ]; then
  echo "wine-exec: no Wine session; run scripts/wine-session.sh start" >&2
  exit 2
fi
export DISPLAY=$(cat "$zuvo_display_file")
exec wine "$@"

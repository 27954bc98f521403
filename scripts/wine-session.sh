#!/usr/bin/env bash
# wine-session.sh start [--fresh] [--sessions N] | stop
# Starts Xvfb and a win32 Wine prefix whose server stays up, so that every
# Windows program of a run starts in well under a second. With --sessions N,
# N such sessions side by side (prefixes and displays of their own, see
# wine-env.sh), and the resource file with which CTest spreads its tests over
# them. stop ends every session of the build folder.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    echo $! >"$WINEPREFIX.xvfb"
    local i
    for i in $(seq 1 100); do
      # Another run may have taken the number in the meantime: then ours has
      # ended and the display that answers is theirs.
      kill -0 "$(cat "$WINEPREFIX.xvfb")" 2>/dev/null || break
      if DISPLAY=:$n xdpyinfo >/dev/null 2>&1 && kill -0 "$(cat "$WINEPREFIX.xvfb")" 2>/dev/null; then
        echo ":$n" >"$WINEPREFIX.display"
        return 0
      fi
      sleep 0.1
    done
    kill "$(cat "$WINEPREFIX.xvfb")" 2>/dev/null || true
  done
  echo "wine-session: no X display could be started" >&2
  return 1
}

# Wine links the user's Desktop, Documents... to the home folder; what tests
# put there (the installer's desktop shortcut) must stay inside the prefix.
keep_shell_folders_in_prefix() {
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
      rm "$link"
      mkdir "$link"
    fi
  done
}

# The classic look, always: Wine's light theme paints one step of a native
# progress bar in about 6 ms instead of 0.3 ms (a gradient per chunk), and
# whether a new prefix has it applied yet when the first test starts varies;
# timings and pictures must not depend on that.
reg_settings() {
  cat >"$WINEPREFIX.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\ThemeManager]
"ThemeActive"="0"

; Desktop composition for the one test program that checks the paths that
; take it (Wine composes from Windows 8.1 on; the others run as Windows 7).
[HKEY_CURRENT_USER\Software\Wine\AppDefaults\SkinHooksAeroTest.exe]
"Version"="win10"

; The minimize animation plays only with composition.
[HKEY_CURRENT_USER\Software\Wine\AppDefaults\MinimizeAnimationAeroTest.exe]
"Version"="win10"

; The activation handlers' composition paths.
[HKEY_CURRENT_USER\Software\Wine\AppDefaults\FormActivationAeroTest.exe]
"Version"="win10"

; A popup's first frame paint redraws it only with composition.
[HKEY_CURRENT_USER\Software\Wine\AppDefaults\SkinMenusAeroTest.exe]
"Version"="win10"

; A bordered dialog's show, size and first paint take their composed paths.
[HKEY_CURRENT_USER\Software\Wine\AppDefaults\DialogsAeroTest.exe]
"Version"="win10"

; The sweep of refused and interrupted actions, with composition.
[HKEY_CURRENT_USER\Software\Wine\AppDefaults\InterruptedActionsAeroTest.exe]
"Version"="win10"
REG
  wine regedit "$WINEPREFIX.reg" >/dev/null 2>&1
}

# Wine's own symbol faces (from fonts-wine, which scripts/setup.sh installs):
# in a fresh prefix "Webdings" and "Marlett" fall back to a text face, so
# the glyphs of the skinned system menu would show as plain letters.
install_symbol_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  for f in webdings.ttf marlett.ttf; do
    if [ -f "/usr/share/wine/fonts/$f" ]; then
      cp -f "/usr/share/wine/fonts/$f" "$fonts/$f"
    else
      echo "wine-session: /usr/share/wine/fonts/$f missing (package fonts-wine)" >&2
    fi
  done
}

# start_session K FRESH: the prefix and display of session K (after its X
# display is up: see start).
start_session() {
  export WINEPREFIX
  WINEPREFIX=$(zuvo_session_prefix "$1")
  export DISPLAY
  DISPLAY=$(cat "$WINEPREFIX.display")
  if [ "$2" = yes ]; then rm -rf "$WINEPREFIX"; fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
    keep_shell_folders_in_prefix
  fi
  install_symbol_fonts
  wineserver -p
  reg_settings
  # The desktop process that Wine starts for the first window of a program
  # otherwise inherits that program's output and holds the test runner's
  # pipe open for about a second after the program ends; one started here,
  # with its output elsewhere, serves every program of the session.
  wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
  echo "wine-session: prefix $WINEPREFIX on display $DISPLAY"
}

write_resource_file() {
  local k ids=""
  for k in $(seq 0 $(($1 - 1))); do
    ids+="${ids:+,}{\"id\":\"$k\",\"slots\":1}"
  done
  printf '{"version":{"major":1,"minor":0},"local":[{"wine":[%s]}]}\n' "$ids" >"$zuvo_resource_file"
}

stop_session() {
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  if [ -f "$1.xvfb" ]; then
    kill "$(cat "$1.xvfb")" 2>/dev/null || true
    rm -f "$1.xvfb"
  fi
  rm -f "$1.display"
}

case "${1:-}" in
  start)
    shift
    fresh=no
    sessions=1
    while [ $# -gt 0 ]; do
      case "$1" in
        --fresh) fresh=yes ;;
        --sessions)
          sessions=${2:-}
          [[ "$sessions" =~ ^[1-9][0-9]*$ ]] || { echo "wine-session: --sessions takes a number from 1" >&2; exit 2; }
          shift ;;
        *) echo "usage: $0 start [--fresh] [--sessions N] | stop" >&2; exit 2 ;;
      esac
      shift
    done
    "$0" stop >/dev/null 2>&1 || true
    mkdir -p "$(dirname "$zuvo_base_prefix")"
    # Displays one after the other (each takes the first free number), then
    # the prefixes side by side: a new prefix takes most of a minute.
    for k in $(seq 0 $((sessions - 1))); do
      WINEPREFIX=$(zuvo_session_prefix "$k") start_xvfb
    done
    pids=()
    for k in $(seq 0 $((sessions - 1))); do
      start_session "$k" "$fresh" &
      pids+=($!)
    done
    for p in "${pids[@]}"; do wait "$p"; done
    write_resource_file "$sessions"
    ;;
  stop)
    for prefix in "$zuvo_base_prefix" "$zuvo_base_prefix"-*; do
      case "$prefix" in *.display|*.xvfb|*.reg|*.json) continue ;; esac
      [ -e "$prefix" ] || [ -e "$prefix.xvfb" ] || [ -e "$prefix.display" ] || continue
      stop_session "$prefix"
    done
    rm -f "$zuvo_resource_file"
    ;;
  *)
    echo "usage: $0 start [--fresh] [--sessions N] | stop" >&2
    exit 2
    ;;
esac

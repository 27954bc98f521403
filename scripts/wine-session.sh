#!/usr/bin/env bash
# wine-session.sh start [--fresh] | stop
# Starts Xvfb and a win32 Wine prefix whose server stays up, so that every
# Windows program of a run starts in well under a second.
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
      if DISPLAY=:$n xdpyinfo >/dev/null 2>&1; then
        echo ":$n" >"$zuvo_display_file"
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

case "${1:-}" in
  start)
    "$0" stop >/dev/null 2>&1 || true
    if [ "${2:-}" = "--fresh" ]; then rm -rf "$WINEPREFIX"; fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    start_xvfb
    export DISPLAY=$(cat "$zuvo_display_file")
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
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    if [ -f "$WINEPREFIX.xvfb" ]; then
      kill "$(cat "$WINEPREFIX.xvfb")" 2>/dev/null || true
      rm -f "$WINEPREFIX.xvfb"
    fi
    rm -f "$zuvo_display_file"
    ;;
  *)
    echo "usage: $0 start [--fresh] | stop" >&2
    exit 2
    ;;
esac

# Sourced by the scripts that run Windows programs: one Wine prefix and one
# X display per build folder.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH=win32
export WINEPREFIX=${WINEPREFIX:-$repo/build/win32/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko prompts, no desktop menu entries for what the installer makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
zuvo_display_file=$WINEPREFIX.display

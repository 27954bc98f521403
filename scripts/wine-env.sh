# Sourced by the scripts that run Windows programs: Wine prefixes and X
# displays live beside the build folder, one per session.
#
# Session 0 is the prefix $WINEPREFIX (default build/win32/wine); session k
# of a run with several (scripts/wine-session.sh start --sessions N) is the
# prefix "$WINEPREFIX-k", each with its own Xvfb display, so that tests which
# move the mouse or own the foreground do not meet. A program that CTest
# started with a "wine" resource (CTEST_RESOURCE_GROUP_0_WINE="id:k,slots:1")
# runs in session k.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH=win32
zuvo_base_prefix=${ZUVO_BASE_PREFIX:-${WINEPREFIX:-$repo/build/win32/wine}}
export ZUVO_BASE_PREFIX=$zuvo_base_prefix

# zuvo_session_prefix K: the prefix of session K.
zuvo_session_prefix() {
  if [ "$1" -eq 0 ]; then echo "$zuvo_base_prefix"; else echo "$zuvo_base_prefix-$1"; fi
}

if [[ "${CTEST_RESOURCE_GROUP_0_WINE:-}" =~ id:([0-9]+) ]]; then
  export WINEPREFIX=$(zuvo_session_prefix "${BASH_REMATCH[1]}")
else
  export WINEPREFIX=$zuvo_base_prefix
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko prompts, no desktop menu entries for what the installer makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
zuvo_display_file=$WINEPREFIX.display
# What CTest reads to hand the sessions of a run to its tests.
zuvo_resource_file=$zuvo_base_prefix.sessions.json

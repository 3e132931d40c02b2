# Sourced: a private Wine prefix under the build folder, quiet, with no Mono/Gecko prompts.
# HOME points into the build folder too, because Wine links Desktop and Documents to $HOME.
_vel_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VELSETUP_WINE_ROOT=${VELSETUP_WINE_ROOT:-$_vel_top/build/wine}
export WINEPREFIX=$VELSETUP_WINE_ROOT/prefix
export HOME=$VELSETUP_WINE_ROOT/home
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
mkdir -p "$HOME"
if [ ! -f "$WINEPREFIX/.velsetup-ready" ]; then
  wineboot -i >/dev/null 2>&1 || true
  touch "$WINEPREFIX/.velsetup-ready"
fi
unset _vel_top

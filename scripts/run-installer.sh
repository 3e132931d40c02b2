#!/usr/bin/env bash
# Starts VelSetup.exe under wine on a demonstration kit, building whatever is missing:
#   bash scripts/run-installer.sh
# The kit (setup.dat and package archives made with velkit and zip) goes to build/demo-kit,
# with VelSetup.exe beside it. With a display (DISPLAY set) the wizard opens there and the
# script waits until it is closed. Without one, a private Xvfb is used and pictures of the
# wizard are saved into shots/ (run-1-start.png, run-2-next.png), then the wizard is ended.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

[ -d .deps/current ] && command -v wine >/dev/null && command -v convert >/dev/null || bash scripts/deps.sh
cmake --preset native >/dev/null
cmake --build build/native -j2 --target velkit >/dev/null
cmake --preset win64 >/dev/null
cmake --build build/win64 -j2 --target VelSetup >/dev/null

kit=$top/build/demo-kit
rm -rf "$kit"
bash scripts/make-demo-kit.sh "$kit" >/dev/null
cp build/win64/VelSetup.exe "$kit/"
echo "Demo kit: $kit"

source scripts/wine-env.sh
if [ -n "${DISPLAY:-}" ]; then
  cd "$kit"
  LC_ALL=cs_CZ.UTF-8 wine VelSetup.exe
  exit $?
fi

# No display: a private Xvfb, pictures instead of a window.
shots=$top/shots
mkdir -p "$shots"
source "$top/scripts/xvfb.sh"
start_private_xvfb 150 199
wine_pid=
cleanup() {
  [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
(cd "$kit" && LC_ALL=cs_CZ.UTF-8 exec wine VelSetup.exe >/dev/null 2>&1) &
wine_pid=$!
# The wizard's window is found by its title once it shows.
for _ in $(seq 150); do
  xdotool search --name 'Instalace software VELMOR' >/dev/null 2>&1 && break
  kill -0 "$wine_pid" 2>/dev/null || { echo "VelSetup.exe ended before its window showed" >&2; exit 1; }
  sleep 0.2
done
sleep 1.5
import -window root "$shots/run-1-start.png"
xdotool key --clearmodifiers Return 2>/dev/null || true   # Next on the language page
sleep 1.5
import -window root "$shots/run-2-next.png"
echo "Pictures: $shots/run-1-start.png $shots/run-2-next.png"

#!/usr/bin/env bash
# Renders the installer's dialogs (every message kind, the wait window, the system
# information, the error report and its log viewer) in every interface language with the
# real Win32 windows under wine, into PNG files for people to look at:
#   bash scripts/dialog-shots.sh [OUTDIR] [LANGS]      (default: shots/dialogs, CZ,EN,DE,SK)
# Without a display a private Xvfb is used (scripts/wine-run.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$top/shots/dialogs}" && cd "${1:-$top/shots/dialogs}" && pwd)
langs=${2:-CZ,EN,DE,SK}
cd "$top"
[ -d .deps/current ] || bash scripts/deps.sh
cmake --preset win64 >/dev/null
cmake --build build/win64 -j2 --target DialogShots >/dev/null
rm -f "$out"/*.bmp "$out"/*.png
scripts/wine-run.sh build/win64/DialogShots.exe "Z:$out" "$langs"
for f in "$out"/*.bmp; do
  convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
echo "$(ls "$out"/*.png | wc -l) pictures in $out"

#!/usr/bin/env bash
# Renders every page of the wizard, in every interface language, with the real Win32
# windows under wine, into PNG files for people to look at:
#   bash scripts/screenshots.sh [OUTDIR] [LANGS]      (default: shots/, CZ,EN,DE,SK)
# Without a display a private Xvfb is used (scripts/wine-run.sh). The pictures are not
# committed (*.png is ignored).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$top/shots}" && cd "${1:-$top/shots}" && pwd)
langs=${2:-CZ,EN,DE,SK}
cd "$top"
[ -d .deps/current ] || bash scripts/deps.sh
cmake --preset win64 >/dev/null
cmake --build build/win64 -j2 --target WizardShots >/dev/null
rm -f "$out"/*.bmp "$out"/*.png
scripts/wine-run.sh build/win64/WizardShots.exe "Z:$out" "$langs"
for f in "$out"/*.bmp; do
  convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
echo "$(ls "$out"/*.png | wc -l) pictures in $out"

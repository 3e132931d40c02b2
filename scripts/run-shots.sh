#!/usr/bin/env bash
# Pictures of real installation runs in the wizard under wine, for people to look at:
#   bash scripts/run-shots.sh [OUTDIR]          (default: shots/run)
# Makes the demonstration kit, a previous installation of 300 files and a folder holding a
# newer program, then RunShots.exe walks the directory page, a run stopped during the copy and
# restored, and a second run to the completion page. Pictures run-*.png; the log is printed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$top/shots/run}" && cd "${1:-$top/shots/run}" && pwd)
cd "$top"
[ -d .deps/current ] || bash scripts/deps.sh
cmake --preset native >/dev/null
cmake --build build/native -j2 --target velkit >/dev/null
cmake --preset win64 >/dev/null
cmake --build build/win64 -j2 --target RunShots version_sample >/dev/null
work=$top/build/run-shots
rm -rf "$work" && mkdir -p "$work"
bash scripts/make-demo-kit.sh "$work/kit" >/dev/null
# The previous installation: a program without version information (older than any kit) and data.
mkdir -p "$work/Velmor/Data"
printf 'previous Velmor program\r\n' >"$work/Velmor/VELMOR.EXE"
for i in $(seq 1 300); do head -c 20000 /dev/urandom >"$work/Velmor/Data/file$i.dat"; done
# A newer installation: a program whose version resource (10.0.19041.1, product name "VELMOR
# Tarpel sample") is newer than the kit's.
mkdir -p "$work/Newer"
cp build/win64/tests/version_sample.dll "$work/Newer/VELMOR.EXE"
rm -f "$out"/run-*.bmp "$out"/run-*.png
# Windows paths, as a user types them (the directory check wants backslashes).
win() { local p="Z:$1"; echo "${p//\//\\}"; }
scripts/wine-run.sh build/win64/RunShots.exe "$(win "$out")" "$(win "$work/kit")" "$(win "$work/Velmor")" "$(win "$work/Newer")"
for f in "$out"/run-*.bmp; do
  convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
echo "$(ls "$out"/run-*.png | wc -l) pictures in $out"

#!/usr/bin/env bash
# Makes a delay-load import library of a Windows system DLL from MinGW's import library:
#   delaylib.sh TRIPLET NAME OUTDIR   ->   OUTDIR/libNAME_delay.a (NAME.dll loaded at first use)
set -euo pipefail
triplet=$1 name=$2 out=$3
mkdir -p "$out"
implib=/usr/$triplet/lib/lib$name.a
def=$out/$name.def
{
  echo "LIBRARY $name.dll"
  echo "EXPORTS"
  # __imp_F (x86_64) or __imp__F@N (i686, stdcall): the exported functions of the DLL.
  "$triplet-nm" -g "$implib" | awk '$2 == "I" && $3 ~ /^__imp_/ { s = $3; sub(/^__imp_/, "", s); print s }' |
    if [ "${triplet%%-*}" = i686 ]; then sed 's/^_//'; else cat; fi | sort -u
} >"$def"
kill_at=
[ "${triplet%%-*}" = i686 ] && kill_at=--kill-at
"$triplet-dlltool" $kill_at --input-def "$def" --dllname "$name.dll" --output-delaylib "$out/lib${name}_delay.a"

#!/usr/bin/env bash
# Download benchmark: fetches a generated file (200 MiB unless BENCH_SIZE says otherwise) from the
# loopback test server with `velkit fetch` (the installer's own downloader) and with `curl -o`,
# best of three runs each, and prints the throughput ratio and velkit's peak resident memory.
#   bash scripts/bench-download.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if [ -z "${VELSETUP_TEST_HTTP_PORT:-}" ]; then
  cmake --preset native >/dev/null
  cmake --build build/native --target velkit -j2 >/dev/null
  exec tests/servers/with-server.sh bash "$0" "$@"
fi

size=${BENCH_SIZE:-209715200}
work=$(mktemp -d "${TMPDIR:-/tmp}/velsetup-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
url="http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/file/bench.bin?size=$size"

# Prints "seconds peak-KiB" of one run of the command.
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
  cat "$work/time"
}
best() {  # label, command...: best of three, "seconds peakKiB"
  local label=$1 t best_t= best_m=
  shift
  for _ in 1 2 3; do
    read -r t m < <(measure "$@")
    if [ -z "$best_t" ] || awk "BEGIN{exit !($t < $best_t)}"; then best_t=$t best_m=$m; fi
  done
  echo "$best_t $best_m"
}

mkdir -p "$work/velkit" "$work/curl"
read -r vt vm < <(TMPDIR=$work/velkit best velkit build/native/tools/velkit fetch "$url")
read -r pt pm < <(TMPDIR=$work/velkit best velkit-progress build/native/tools/velkit fetch "$url" --progress)
read -r ct cm < <(best curl curl -sS -o "$work/curl/bench.bin" "$url")
cmp -s "$work/velkit/bench.bin" "$work/curl/bench.bin" || { echo "the two downloads differ" >&2; exit 1; }

mib=$(awk "BEGIN{print $size/1048576}")
awk -v s="$mib" -v vt="$vt" -v pt="$pt" -v ct="$ct" -v vm="$vm" -v pm="$pm" -v cm="$cm" 'BEGIN{
  printf "file: %.0f MiB over loopback HTTP (best of 3)\n", s
  printf "velkit fetch            %6.2f s  %7.1f MiB/s  peak RSS %5.1f MiB\n", vt, s/vt, vm/1024
  printf "velkit fetch --progress %6.2f s  %7.1f MiB/s  peak RSS %5.1f MiB\n", pt, s/pt, pm/1024
  printf "curl -o                 %6.2f s  %7.1f MiB/s  peak RSS %5.1f MiB\n", ct, s/ct, cm/1024
  printf "throughput ratio velkit/curl: %.2f (with --progress: %.2f); target >= 1.0\n", ct/vt, ct/pt
  printf "velkit peak memory: %.1f MiB; target < 32 MiB\n", (vm > pm ? vm : pm)/1024
}'

#!/usr/bin/env bash
# Installation benchmark: generates a realistic kit (at least 2,000 files and 200 MB of mixed text
# and binary, a third of the bytes random, in five password-protected packages: three ZipCrypto
# made with Info-ZIP zip, two AES-256 made with 7-Zip) and a previous installation of the same
# size, then times on the same data, best of two runs each, alternating with the peer:
#   our backup (velkit archive backup --progress)       against  zip -1 -r -q
#   our extraction of the ZipCrypto packages (velkit archive extract, a line per entry)  against  unzip -q -P
#   our extraction of the AES packages                   against  7z x
# and prints throughput ratios (peer time / our time) and our peak memory (/usr/bin/time), plus
# the peak memory on a small and a large input to show it does not grow with the kit.
#   bash scripts/bench-install.sh            (BENCH_SCALE=0.25 for a quick, smaller run)
# BENCH_BEFORE=/path/to/an/older/velkit also times that build's extraction in the same rounds, to
# compare a change before and after on the same data and load; BENCH_VELKIT=/path/to/velkit times
# that build as ours instead of building this tree's.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if [ -n "${BENCH_VELKIT:-}" ]; then  # a velkit built elsewhere, timed as ours
  velkit=$BENCH_VELKIT
else
  cmake --preset native >/dev/null
  cmake --build build/native --target velkit -j2 >/dev/null
  velkit=$top/build/native/tools/velkit
fi
scale=${BENCH_SCALE:-1}
password='Bench#Kit2024'

work=$(mktemp -d "${TMPDIR:-/tmp}/velsetup-bench-XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
echo "generating the kit and the previous installation in $work (scale $scale) ..."
python3 - "$work" "$scale" <<'PY'
import os, random, sys
work, scale = sys.argv[1], float(sys.argv[2])
rng = random.Random(2024)
words = [w.encode() for w in ("faktura sklad ucet zakaznik dodavatel objednavka DPH polozka cena mnozstvi "
         "datum splatnost Velmor Tarpel Kest modul sestava tisk export import").split()]
def text(n):
    out = bytearray()
    while len(out) < n:
        out += b" ".join(rng.choice(words) for _ in range(12)) + b"\r\n"
    return bytes(out[:n])
def structured(n):  # binary records: a little repetition, much variety (like program and data files)
    out = bytearray()
    while len(out) < n:
        out += rng.randrange(1 << 32).to_bytes(4, "little") + bytes(12) + rng.choice(words).ljust(16, b"\0")
    return bytes(out[:n])
def sizes():
    # Most files small, some medium, a few large: about 105 MB per 1,000 files.
    count = int(2100 * scale)
    for i in range(count):
        r = rng.random()
        yield i, (rng.randrange(1_000, 40_000) if r < 0.88 else rng.randrange(100_000, 600_000) if r < 0.99
                  else rng.randrange(2_000_000, 8_000_000))
total = 0
for tree in ("pkg", "previous"):
    by_kind = [0, 0, 0]
    for i, size in sizes():
        kind = by_kind.index(min(by_kind))  # random, text, binary: a third of the bytes each
        by_kind[kind] += size
        package = i % 5
        data = rng.randbytes(size) if kind == 0 else text(size) if kind == 1 else structured(size)
        folder = os.path.join(work, tree, "p%d" % package if tree == "pkg" else "", "Modul%02d" % (i % 17))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "file%05d.%s" % (i, ("bin", "txt", "dat")[kind])), "wb") as f:
            f.write(data)
        total += size
print("generated %.0f MB in %d files per tree" % (total / 2 / 1e6, int(2100 * scale)))
PY
mkdir -p "$work/kit"
for p in 0 1 2; do (cd "$work/pkg/p$p" && zip -q -r -X -P "$password" "$work/kit/Package$p.zip" .); done
for p in 3 4; do (cd "$work/pkg/p$p" && 7z a -tzip -bd -bso0 -mem=AES256 -p"$password" "$work/kit/Package$p.zip" . ); done
ls -l "$work/kit"
files=$(find "$work/previous" -type f | wc -l)
bytes=$(du -sb "$work/previous" | cut -f1)
kitbytes=$(du -sb "$work/pkg" | cut -f1)
echo "previous installation: $files files, $((bytes / 1000000)) MB; kit content: $(find "$work/pkg" -type f | wc -l) files, $((kitbytes / 1000000)) MB"
echo "nproc $(nproc); load $(cut -d' ' -f1-3 /proc/loadavg)"

# "seconds peak-KiB" of one run.
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
  cat "$work/time"
}
clean() { chmod -R u+w "$work/out" 2>/dev/null || true; rm -rf "$work/out" "$work/previous/Backup" "$work/zip1.zip"; }
extract_ours() {  # packages...
  for p in "$@"; do "${use_velkit:-$velkit}" archive extract "$work/kit/Package$p.zip" "$work/out" --password "$password" || return 1; done
}
extract_unzip() { for p in "$@"; do unzip -q -o -P "$password" "$work/kit/Package$p.zip" -d "$work/out" || return 1; done; }
extract_7z() { for p in "$@"; do 7z x -y -bd -p"$password" -o"$work/out" "$work/kit/Package$p.zip" || return 1; done; }
export -f extract_ours extract_unzip extract_7z
export velkit work password

declare -A best mem
run() {  # label command...
  local label=$1 t m
  shift
  clean
  sync
  read -r t m < <(measure "$@")
  if [ -z "${best[$label]:-}" ] || awk "BEGIN{exit !($t < ${best[$label]})}"; then best[$label]=$t; fi
  if [ -z "${mem[$label]:-}" ] || [ "$m" -gt "${mem[$label]}" ]; then mem[$label]=$m; fi
}
for round in 1 2; do
  run zip bash -c 'cd "$work/previous" && zip -1 -r -q "$work/zip1.zip" . -x "Backup/*"'
  run backup "$velkit" archive backup "$work/previous" --progress
  run unzip bash -c 'extract_unzip 0 1 2'
  run ours-zipcrypto bash -c 'extract_ours 0 1 2'
  run 7z bash -c 'extract_7z 3 4'
  run ours-aes bash -c 'extract_ours 3 4'
  if [ -n "${BENCH_BEFORE:-}" ]; then
    run before-zipcrypto env use_velkit="$BENCH_BEFORE" bash -c 'extract_ours 0 1 2'
    run before-aes env use_velkit="$BENCH_BEFORE" bash -c 'extract_ours 3 4'
  fi
done
# Peak memory on a small and a large input.
small=$(ls -S "$work"/kit/Package*.zip | tail -1); large=$(ls -S "$work"/kit/Package*.zip | head -1)
clean; read -r _ msmall < <(measure "$velkit" archive extract "$small" "$work/out" --password "$password")
clean; read -r _ mlarge < <(measure "$velkit" archive extract "$large" "$work/out" --password "$password")
clean; read -r _ bsmall < <(measure "$velkit" archive backup "$work/previous/Modul00")
clean; read -r _ blarge < <(measure "$velkit" archive backup "$work/previous")
# The whole installation run once, for its time and memory (backup of the previous installation,
# then all five packages over it).
clean
scrambled=$("$velkit" password scramble "$password")
cat >"$work/setup.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<SetupDat><Main><Password>$scrambled</Password><InstallDir>C:\\Velmor</InstallDir><TypInst>2</TypInst>
<Version>4.7.2.0001</Version></Main><ZipFiles>
$(for p in 0 1 2 3 4; do echo "<ZipFile><FileName>Package$p.zip</FileName><TypInstalace>0</TypInstalace></ZipFile>"; done)
</ZipFiles></SetupDat>
XML
"$velkit" definition pack "$work/setup.xml" "$work/kit/setup.dat" >/dev/null
read -r it im < <(measure "$velkit" install "$work/kit" "$work/previous")

awk -v mb="$((bytes / 1000000))" -v kmb="$((kitbytes / 1000000))" \
    -v z="${best[zip]}" -v b="${best[backup]}" -v u="${best[unzip]}" -v oz="${best[ours-zipcrypto]}" \
    -v s="${best[7z]}" -v oa="${best[ours-aes]}" \
    -v mb_b="${mem[backup]}" -v mb_z="${mem[ours-zipcrypto]}" -v mb_a="${mem[ours-aes]}" \
    -v ms="$msmall" -v ml="$mlarge" -v bs="$bsmall" -v bl="$blarge" -v it="$it" -v im="$im" 'BEGIN{
  printf "\nbest of 2, seconds (ours / peer), throughput ratio = peer time / our time (target >= 1.3)\n"
  printf "backup  %4d MB   ours %6.2f s   zip -1 -r  %6.2f s   ratio %.2f   our peak %5.1f MiB\n", mb, b, z, z/b, mb_b/1024
  printf "extract ZipCrypto ours %6.2f s   unzip -P   %6.2f s   ratio %.2f   our peak %5.1f MiB\n", oz, u, u/oz, mb_z/1024
  printf "extract AES       ours %6.2f s   7z x       %6.2f s   ratio %.2f   our peak %5.1f MiB\n", oa, s, s/oa, mb_a/1024
  printf "peak memory, small vs large input: extract %.1f / %.1f MiB, backup %.1f / %.1f MiB (target < 64 MiB, flat)\n", ms/1024, ml/1024, bs/1024, bl/1024
  printf "velkit install, the wizard'"'"'s own run (backup %d MB + five packages, %d MB): %.2f s, peak %.1f MiB;\n", mb, kmb, it, im/1024
  printf "  the peers one after another (zip -1 -r, unzip -P, 7z x): %.2f s, ratio %.2f\n", z+u+s, (z+u+s)/it
}'
if [ -n "${BENCH_BEFORE:-}" ]; then
  awk -v u="${best[unzip]}" -v s="${best[7z]}" -v bz="${best[before-zipcrypto]}" -v ba="${best[before-aes]}" 'BEGIN{
  printf "before (%s): extract ZipCrypto %6.2f s ratio %.2f; extract AES %6.2f s ratio %.2f\n", ENVIRON["BENCH_BEFORE"], bz, u/bz, ba, s/ba
}'
fi

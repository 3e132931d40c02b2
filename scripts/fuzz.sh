#!/usr/bin/env bash
# Runs the libFuzzer harnesses: builds the fuzz preset, then runs each harness for SECONDS
# (default 60) on its corpus, seeded from the test fixtures. Fails when any harness finds
# something; the input that did it is kept in build/fuzz/findings/.
#   scripts/fuzz.sh [SECONDS] [HARNESS...]     (HARNESS: DefinitionXml, ZipArchive, ...)
# FUZZ_JOBS=N runs N processes per harness (libFuzzer's -jobs/-workers); default 1.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

seconds=${1:-60}
shift || true
build=build/fuzz
if [ "${FUZZ_SKIP_BUILD:-0}" != 1 ]; then
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$(nproc)" >/dev/null
fi

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for exe in "$build"/tests/fuzz/fuzz_*; do
    [ -x "$exe" ] && harnesses+=("$(basename "$exe" | sed 's/^fuzz_//')")
  done
fi

# Seeds: the test fixtures the parsers read in the ordinary tests, plus small texts beside the
# harnesses. Each harness's corpus grows under build/fuzz/corpus and is kept between runs.
seed_files() {
  local fixtures=tests/data small=tests/fuzz/seeds
  case "$1" in
    DefinitionXml) ls "$fixtures"/definition/*.xml ;;
    DefinitionContainer) ls "$fixtures"/definition/*.setup.dat ;;
    ProductIndex | IniFile) ls "$small"/*.ini ;;
    ZipArchive) ls "$fixtures"/zip/*.zip ;;
    # The test library with a version resource, when the win64 build made it.
    FileVersion) ls build/win64/tests/version_sample.dll 2>/dev/null || true ;;
    DownloadName) ls "$small"/disposition*.txt "$small"/address.txt ;;
    Environment) ls "$small"/environment.txt "$small"/password.txt ;;
    MssqlIni) ls "$small"/mssql.ini ;;
    *) ls "$small"/"$1".* 2>/dev/null || true ;;
  esac
}
dictionary() {
  case "$1" in
    DefinitionXml) echo tests/fuzz/dict/xml.dict ;;
    DefinitionContainer | ZipArchive) echo tests/fuzz/dict/zip.dict ;;
    ProductIndex | IniFile | MssqlIni) echo tests/fuzz/dict/ini.dict ;;
    DownloadName) echo tests/fuzz/dict/name.dict ;;
    Environment) echo tests/fuzz/dict/text.dict ;;
    FileVersion) echo tests/fuzz/dict/pe.dict ;;
  esac
}
max_len() {
  case "$1" in
    # An archive of a few KiB can still inflate to megabytes on disk per run.
    ZipArchive) echo 16384 ;;
    DefinitionContainer | FileVersion) echo 65536 ;;
    *) echo 16384 ;;
  esac
}

mkdir -p "$build/findings" "$build/logs"
failed=()
for name in "${harnesses[@]}"; do
  exe="$build/tests/fuzz/fuzz_$name"
  [ -x "$exe" ] || { echo "fuzz: no harness $name" >&2; failed+=("$name"); continue; }
  corpus="$build/corpus/$name"
  seeds="$build/seeds/$name"
  mkdir -p "$corpus" "$seeds"
  while IFS= read -r f; do [ -n "$f" ] && cp -f "$f" "$seeds/"; done < <(seed_files "$name")
  args=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len="$(max_len "$name")"
        -artifact_prefix="$build/findings/$name-" -print_final_stats=1)
  dict=$(dictionary "$name")
  [ -n "$dict" ] && args+=(-dict="$dict")
  jobs=${FUZZ_JOBS:-1}
  [ "$jobs" -gt 1 ] && args+=(-jobs="$jobs" -workers="$jobs")
  log="$build/logs/$name.log"
  echo "== fuzz $name for $seconds s"
  status=0
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$exe" "${args[@]}" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  # The last status line: runs, coverage (cov: edges, ft: features), corpus, executions per second.
  summary=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  echo "   ${summary:-no status line}"
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' "$log" | sed 's/^/   /' || true
  if [ $status -ne 0 ]; then
    echo "   FINDING (exit $status); log: $log" >&2
    grep -E 'ERROR:|FINDING:|SUMMARY:|Test unit written|runtime error' "$log" | head -8 | sed 's/^/   /' >&2 || true
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: no findings in ${#harnesses[@]} harnesses"

#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the native, win64 and win32 targets,
# runs the native tests, then the Windows tests under 64-bit wine (with Xvfb), then the native
# tests again built with AddressSanitizer and UndefinedBehaviorSanitizer (leaks fail them too),
# then every fuzz harness for a short bounded time (FUZZ_SECONDS, default 10).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

start=$(date +%s)
bash scripts/deps.sh

jobs=$(nproc)
for preset in native win64 win32 native-asan; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

# A display for the Windows tests that open windows; ended with the script.
xvfb_pid=
source scripts/xvfb.sh
[ -n "${DISPLAY:-}" ] || start_private_xvfb 70 89
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  (source scripts/wine-env.sh >/dev/null 2>&1 && wineserver -k) 2>/dev/null || true
}
trap cleanup EXIT

status=0
echo "== native tests"
ctest --test-dir build/native --output-on-failure -j "$jobs" || status=1
echo "== windows tests (wine)"
# The loopback server maps Windows paths of the test prefix to Linux ones: it must know the prefix
# that scripts/wine-run.sh will use.
export VELSETUP_WINE_ROOT=${VELSETUP_WINE_ROOT:-$top/build/wine}
export WINEPREFIX=$VELSETUP_WINE_ROOT/prefix
ctest --test-dir build/win64 --output-on-failure || status=1
# The 32-bit build cannot run here, but its import tables, its signature and its stack
# realignment can be read.
echo "== win32 import tables, signature and stack realignment"
ctest --test-dir build/win32 --output-on-failure -R 'imports|signing|stackrealign' || status=1
echo "== native tests with AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/native-asan --output-on-failure -j "$jobs" || status=1
echo "== fuzz harnesses"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-10}" || status=1

echo "== all tests took $(( $(date +%s) - start )) s"
exit $status

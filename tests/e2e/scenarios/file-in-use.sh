# Hooks of an update while Velmor runs (run-scenario.sh --hooks): a stand-in holds VELMOR.EXE of
# the previous installation open as a running program does, until its Exit button is pressed.
# Wine's Restart Manager may not name it; the run then meets the held file in its extraction.
source "$(dirname "${BASH_SOURCE[0]}")/update.sh"

prepare() {
  prepare_previous
  (WINEDLLOVERRIDES=$WINEDLLOVERRIDES exec wine "$build/tests/e2e/FileHolder.exe" "C:\\Velmor E2E\\VELMOR.EXE" \
    >"$work/holder.out" 2>&1 </dev/null) &
  holder_pid=$!
}

finish() { [ -z "${holder_pid:-}" ] || kill "$holder_pid" 2>/dev/null || true; }

verify() {
  verify_previous_intact
  check test ! -e "$target/Velmor.INI"
  local log
  log=$(find "$drive_c/users" -name 'VelmorInst*.log' -type f | head -n 1)
  check grep -aq 'Step Check files in use' "$log"
  grep -a 'Step Check files in use\|Step Extract Program.zip' "$log" | tr -d '\r'
}

#!/usr/bin/env bash
# Runs a command with the loopback test server up: starts tests/servers/http_test_server.py,
# exports VELSETUP_TEST_HTTP_PORT, VELSETUP_TEST_HTTPS_PORT, VELSETUP_TEST_HTTPS_UNTRUSTED_PORT
# and VELSETUP_TEST_CA for it, runs the
# command and stops the server, whatever way the command ends. Used for the Windows test program
# under wine, which cannot start a Linux python itself.
#   tests/servers/with-server.sh scripts/wine-run.sh build/win64/tests/velsetup_wintests.exe
set -u
here=$(cd "$(dirname "$0")" && pwd)
folder=$(mktemp -d "${TMPDIR:-/tmp}/velsetup-http-XXXXXX")
mkfifo "$folder/ready" "$folder/stdin"
# The server also ends when this script ends and so closes the server's standard input.
python3 "$here/http_test_server.py" --folder "$folder" --exit-on-eof <"$folder/stdin" >"$folder/ready" &
exec 3>"$folder/stdin"
read -r ready <"$folder/ready"
server_pid=$(sed -n 's/.*"pid": \([0-9]*\).*/\1/p' <<<"$ready")
stop() {
  [ -n "${child:-}" ] && kill "$child" 2>/dev/null
  exec 3>&-
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$server_pid" 2>/dev/null
  fi
  wait 2>/dev/null
  rm -rf "$folder"
}
trap stop EXIT
if [ -z "$server_pid" ]; then
  echo "with-server: the test server did not start" >&2
  exit 1
fi
export VELSETUP_TEST_HTTP_PORT=$(sed -n 's/.*"http": \([0-9]*\).*/\1/p' <<<"$ready")
export VELSETUP_TEST_HTTPS_PORT=$(sed -n 's/.*"https": \([0-9]*\).*/\1/p' <<<"$ready")
export VELSETUP_TEST_HTTPS_UNTRUSTED_PORT=$(sed -n 's/.*"https_untrusted": \([0-9]*\).*/\1/p' <<<"$ready")
export VELSETUP_TEST_CA=$(sed -n 's/.*"ca": "\([^"]*\)".*/\1/p' <<<"$ready")
# The command must not inherit the server's input (wine's daemons would keep it open), and a
# signal to this script (ctest's time-out) reaches the command too.
"$@" 3>&- &
child=$!
trap 'kill "$child" 2>/dev/null' TERM INT
status=0
wait "$child" || status=$?
wait "$child" 2>/dev/null  # after a signal: until the command has ended
exit $status

# Hooks of the update from a loopback web kit (run under tests/servers/with-server.sh): the
# installer's folder holds only VelSetup.exe and setup.dat, whose package server is the test
# server handing out another folder; the packages must come from there. The server cuts the
# connection of the largest package once at half its length: the download resumes from there.
source "$(dirname "${BASH_SOURCE[0]}")/update.sh"

make_kit() {
  local served=$work/served hex
  [ -n "${VELSETUP_TEST_HTTP_PORT:-}" ] || { echo "FAIL: no test server (run under with-server.sh)" >&2; return 1; }
  hex=$(printf '%s' "$served" | od -An -tx1 | tr -d ' \n')
  server_url="http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/kit/$hex/"
  # The server hands out the files of one folder per address: MSSQL/ gets its own.
  MSSQL_URL="http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/kit/$(printf '%s' "$served/MSSQL" | od -An -tx1 | tr -d ' \n')/" \
    bash "$top/scripts/make-demo-kit.sh" "$served" "$server_url" >/dev/null
  mkdir -p "$kit"
  cp "$served/setup.dat" "$kit/"
  largest=$(basename "$(ls -S "$served"/*.zip | head -n 1)")
  export largest
  touch "$served/$largest.cut-once"
}

verify() {
  verify_update "$work/served"
  # Both packages were fetched from the server.
  local requests
  requests=$(curl -fsS "http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/_requests?match=$(printf '%s' "$work/served" | od -An -tx1 | tr -d ' \n')")
  check grep -q 'Program.zip' <<<"$requests"
  check grep -q 'Lang_EN.zip' <<<"$requests"
  # The cut package was asked for again from where its connection broke, and the log tells so.
  check test ! -e "$work/served/$largest.cut-once"
  check grep -q "Range: bytes=[1-9]" <<<"$requests"
  check grep -q "If-Range: " <<<"$requests"
  local log
  log=$(find "$drive_c/users" -name 'VelmorInst*.log' -type f | head -n 1)
  check grep -aq "$largest failed (.*); attempt 2 of 4 in [0-9]* s, from byte [1-9]" "$log"
  check grep -aq "Downloaded .*$largest: .* in 2 attempts" "$log"
  grep -a "$largest" "$log" | sed 's/^/  log: /'
}

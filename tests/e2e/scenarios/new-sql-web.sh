# Hooks of the new installation with a new SQL Server from a loopback web kit (run under
# tests/servers/with-server.sh): the installer's folder holds only VelSetup.exe and setup.dat;
# the packages, MSSQL.ini and the SQL Server installer come from the test server.
source "$(dirname "${BASH_SOURCE[0]}")/new-sql.sh"

make_kit() {
  local hex
  served=$work/served
  [ -n "${VELSETUP_TEST_HTTP_PORT:-}" ] || { echo "FAIL: no test server (run under with-server.sh)" >&2; return 1; }
  hex=$(printf '%s' "$served" | od -An -tx1 | tr -d ' \n')
  local server_url="http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/kit/$hex/"
  # The server hands out the files of one folder per address: MSSQL/ gets its own.
  MSSQL_URL="http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/kit/$(printf '%s' "$served/MSSQL" | od -An -tx1 | tr -d ' \n')/" \
    bash "$top/scripts/make-demo-kit.sh" "$served" "$server_url" >/dev/null
  write_sql_edition "$served/MSSQL"
  mkdir -p "$kit"
  cp "$served/setup.dat" "$kit/"
}

verify_web_requests() {
  local requests
  requests=$(curl -fsS "http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/_requests?match=$(printf '%s' "$served" | od -An -tx1 | tr -d ' \n')")
  check grep -q 'MSSQL.ini' <<<"$requests"
  check grep -q "$setup_name" <<<"$requests"
  check grep -q 'Program.zip' <<<"$requests"
}

verify() {
  verify_new_sql
  verify_web_requests
}

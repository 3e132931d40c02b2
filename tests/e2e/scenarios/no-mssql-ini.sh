# Hooks of the start from a folder kit without MSSQL.ini and without a SQL Server address: the
# installer cannot offer SQL Server editions, says so at start and ends.
make_kit() {
  bash "$top/scripts/make-demo-kit.sh" "$kit" >/dev/null
  rm -f "$kit/MSSQL.ini"
}

prepare() {
  find "$drive_c/users" -name 'VelmorInst*.log' -delete 2>/dev/null || true
}

# The installer has ended (the runner waits for that) and its log tells why.
verify() {
  local log
  log=$(find "$drive_c/users" -name 'VelmorInst*.log' -type f | head -n 1)
  check test -n "$log"
  check grep -aq 'GetMSSQLInstallINI' "$log"
  check grep -aq 'MSSQL.ini' "$log"
  # The wizard window was never shown.
  check test -z "$(grep -a 'procedura FormShow' "$log")"
}

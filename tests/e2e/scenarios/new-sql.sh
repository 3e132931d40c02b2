# Hooks of the new installation with a new SQL Server (scenario new-sql.txt): the kit offers one
# edition in its MSSQL.ini, whose installer is the stand-in SQL Server setup; it registers the
# instance VELMORNEW (64-bit view, as an x64 SQL Server does) and ends with the exit code the
# case asks for. The case comes from the environment, so ctest runs one hooks file three times:
#   SQL_SETUP_EXIT=0      installed: the new instance is preselected, the run completes
#   SQL_SETUP_EXIT=3010   installed, Windows wants a restart: the user is told, the run completes
#   SQL_SETUP_EXIT=1603   failed: the user is told, stays on the page; nothing is installed
# The driver reads the same variable (its "when" lines).
source "$(dirname "${BASH_SOURCE[0]}")/new-local.sh"
export SQL_SETUP_EXIT=${SQL_SETUP_EXIT:?the case: SQL_SETUP_EXIT=0, 3010 or 1603}
setup_name=SQLEXPR_x64.exe

# write_sql_edition DIR: the stand-in as the kit's SQL Server installer, and MSSQL.ini naming it.
write_sql_edition() {
  cp "$build/tests/SqlSetupStandIn.exe" "$1/$setup_name"
  printf '[SQL]\r\nExpress x64=%s;1;1\r\n[Params]\r\nExpress x64=/Q /ACTION=Install /INSTANCENAME=VELMORNEW /VIEW=64 /EXITCODE=%s\r\n' \
    "$setup_name" "$SQL_SETUP_EXIT" >"$1/MSSQL.ini"
}

make_kit() {
  bash "$top/scripts/make-demo-kit.sh" "$kit" >/dev/null
  write_sql_edition "$kit"
}

prepare() {
  rm -rf "$target"
  forget_sql_instances
  # A setup downloaded by an earlier run keeps its record in the temporary folder.
  find "$drive_c" -name "$setup_name.ran" -delete 2>/dev/null || true
  touch "$work/started"
}

# The setup ran once, unattended, with the edition's parameters (its record: <exe>.ran).
verify_setup_ran() {
  local ran
  ran=$(find "$kit" "$drive_c" -name "$setup_name.ran" -newer "$work/started" 2>/dev/null | head -n 1)
  check test -n "$ran"
  check test "$(grep -c . "$ran")" -eq 1
  check grep -q "/Q /ACTION=Install /INSTANCENAME=VELMORNEW /VIEW=64 /EXITCODE=$SQL_SETUP_EXIT" "$ran"
}

# What the case leaves: the installation, or nothing at all.
verify_new_sql() {
  verify_setup_ran
  if [ "$SQL_SETUP_EXIT" = 1603 ]; then
    # A failed setup: no instance, nothing in the folder (made when the folder was accepted),
    # no configuration, no shortcuts.
    check test -d "$target"
    check test -z "$(ls -A "$target")"
    local view
    for view in 32 64; do
      if wine reg query 'HKLM\SOFTWARE\Microsoft\Microsoft SQL Server' /v InstalledInstances /reg:$view >/dev/null 2>&1; then
        echo "FAIL: an instance is registered (view $view)" >&2
        return 1
      fi
    done
    check test -z "$(find "$drive_c/users" "$WINEPREFIX/../home" -iname '*.lnk' -newer "$work/started" 2>/dev/null)"
    echo "nothing installed"
  else
    verify_new_installation '[^\\]+\\VELMORNEW' VelmorNewSql
  fi
}

verify() { verify_new_sql; }

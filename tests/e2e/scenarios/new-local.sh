# Hooks of the new installation onto a SQL Server instance registered beforehand: the stand-in
# SQL Server setup registers the instance VELMOR2 in the registry of the Wine prefix, as the real
# setup would; the target folder is empty.
target="$drive_c/Velmor New"

# forget_sql_instances: no SQL Server instance is registered in the prefix (earlier runs leave
# theirs), in either registry view.
forget_sql_instances() {
  local view
  for view in 32 64; do
    wine reg delete 'HKLM\SOFTWARE\Microsoft\Microsoft SQL Server' /f /reg:$view >/dev/null 2>&1 || true
    wine reg delete 'HKLM\SOFTWARE\Microsoft\MSSQLServer' /f /reg:$view >/dev/null 2>&1 || true
  done
}

prepare() {
  rm -rf "$target"
  forget_sql_instances
  touch "$work/started"
  wine "$build/tests/SqlSetupStandIn.exe" /INSTANCENAME=VELMOR2 /VIEW=32 /EXITCODE=0 /RECORD="$(winpath "$work/standin.ran")" >/dev/null 2>&1
}

# verify_new_installation SERVER DATABASE: the packages are in $target, Velmor.INI there names
# the server (an extended regular expression for the whole value: the computer name is Wine's)
# and the database, and the shortcuts made by this run (newer than $work/started)
# are links to Velmor.EXE starting in its folder.
verify_new_installation() {
  local server=$1 database=$2 f
  for f in Velmor.exe Data/Ukazka.txt Data/Demo.cfg Lang/Velmor_EN.lng; do check test -f "$target/$f"; done
  local ini
  ini=$(cd "$target" && find . -maxdepth 1 -iname 'Velmor.INI' | head -n 1)
  check test -n "$ini"
  check grep -aqEx "Server=$server"$'\r' "$target/$ini"
  check grep -aqEx "SystemDB=$database"$'\r' "$target/$ini"
  # The shortcuts point at Velmor.EXE and start in its folder (the link's strings, in UTF-16).
  local links link found=0
  # (Wine keeps the desktop in the prefix's home folder.)
  links=$(find "$drive_c/users" "$WINEPREFIX/../home" -iname '*.lnk' -newer "$work/started" 2>/dev/null)
  while IFS= read -r link; do
    [ -n "$link" ] || continue
    found=$((found + 1))
    check grep -qix 'C:\\Velmor New\\Velmor\.exe' <(strings -a "$link"; strings -a -el "$link")
    check grep -qiEx 'C:\\Velmor New\\?' <(strings -a -el "$link")
  done <<<"$links"
  check test "$found" -ge 2
  echo "Velmor.INI: $ini; shortcuts: $found"
}

verify() {
  verify_new_installation '[^\\]+\\VELMOR2' VelmorE2E
}

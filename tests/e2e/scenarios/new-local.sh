# Hooks of the new installation onto a SQL Server instance registered beforehand: the stand-in
# SQL Server setup registers the instance VELMOR2 in the registry of the Wine prefix, as the real
# setup would; the target folder is empty.
target="$drive_c/Velmor New"

prepare() {
  rm -rf "$target"
  wine "$build/tests/SqlSetupStandIn.exe" /INSTANCENAME=VELMOR2 /VIEW=32 /EXITCODE=0 /RECORD="$(winpath "$work/standin.ran")" >/dev/null 2>&1
}

verify() {
  local f
  for f in Velmor.exe Data/Ukazka.txt Data/Demo.cfg Lang/Velmor_EN.lng; do check test -f "$target/$f"; done
  # Velmor.INI names the instance chosen and the database typed.
  local ini
  ini=$(cd "$target" && find . -maxdepth 1 -iname 'Velmor.INI' | head -n 1)
  check test -n "$ini"
  check grep -aq 'VELMOR2' "$target/$ini"
  check grep -aq 'VelmorE2E' "$target/$ini"
  # The shortcuts point at Velmor.EXE and start in its folder (the link's strings, in UTF-16).
  local links link found=0
  # (Wine keeps the desktop in the prefix's home folder.)
  links=$(find "$drive_c/users" "$WINEPREFIX/../home" -iname '*.lnk' -newer "$work/standin.ran" 2>/dev/null)
  while IFS= read -r link; do
    [ -n "$link" ] || continue
    found=$((found + 1))
    check grep -qix 'C:\\Velmor New\\Velmor\.exe' <(strings -a "$link"; strings -a -el "$link")
    check grep -qiEx 'C:\\Velmor New\\?' <(strings -a -el "$link")
  done <<<"$links"
  check test "$found" -ge 2
  echo "Velmor.INI: $ini; shortcuts: $found"
}

# Hooks of the update scenarios (run-scenario.sh --hooks): a previous installation in
# C:\Velmor E2E whose VELMOR.EXE carries version 4.7.1.0001 (the kit brings 4.7.2.0001), with
# older copies of every file of the kit and a file of the user's that no package holds.
target="$drive_c/Velmor E2E"
package_password='Demo#Kit2024'

# The previous installation, and what it held (paths in lower case: Windows names ignore case).
prepare() { prepare_previous; }
prepare_previous() {
  rm -rf "$target"
  mkdir -p "$target/Data" "$target/Lang"
  cp "$build/tests/e2e/OldVelmor.exe" "$target/VELMOR.EXE"
  printf 'old sample data\r\n' >"$target/Data/Ukazka.txt"
  printf '[Velmor]\r\nEdition=Old\r\n' >"$target/Data/Demo.cfg"
  printf '[Strings]\r\nHello=Hi\r\n' >"$target/Lang/Velmor_EN.lng"
  printf 'the user'"'"'s own notes\r\n' >"$target/Data/Notes.txt"
  rm -rf "$work/previous" && cp -r "$target" "$work/previous"
  find "$drive_c/users" -name 'VelmorInst*.log' -delete 2>/dev/null || true
}

# A file of the target by its name in any case; exactly one may exist.
target_file() {
  local hits
  hits=$(cd "$target" && find . -ipath "./$1" -type f)
  [ "$(printf '%s\n' "$hits" | grep -c .)" = 1 ] || { echo "FAIL: in the target, '$1' is: ${hits:-missing}" >&2; return 1; }
  echo "$target/${hits#./}"
}

verify_update() {
  local kit_files=$1 expected=$work/expected f
  # Every file of the packages is the kit's now (the language package below Lang).
  rm -rf "$expected" && mkdir -p "$expected/Lang"
  unzip -q -P "$package_password" "$kit_files/Program.zip" -d "$expected"
  unzip -q -P "$package_password" "$kit_files/Lang_EN.zip" -d "$expected/Lang"
  for f in Velmor.exe Data/Ukazka.txt Data/Demo.cfg Lang/Velmor_EN.lng; do
    check cmp "$expected/$f" "$(target_file "$f")"
  done
  # The user's own file is left as it was.
  check cmp "$work/previous/Data/Notes.txt" "$target/Data/Notes.txt"
  # One backup archive, whole by Info-ZIP's test, holding the previous files byte for byte.
  local archives
  archives=$(find "$target/Backup" -maxdepth 1 -iname 'Backup*.zip')
  check test "$(printf '%s\n' "$archives" | grep -c .)" = 1
  check unzip -tq "$archives"
  rm -rf "$work/restored" && mkdir -p "$work/restored"
  unzip -q "$archives" -d "$work/restored"
  for f in VELMOR.EXE Data/Ukazka.txt Data/Demo.cfg Lang/Velmor_EN.lng; do
    check cmp "$work/previous/$f" "$(cd "$work/restored" && find . -ipath "./$f" -type f | sed "s|^\.|$work/restored|")"
  done
  # The installation log was saved in the temporary folder and tells of the run.
  local log
  log=$(find "$drive_c/users" -name 'VelmorInst*.log' -type f | head -n 1)
  check test -n "$log"
  check grep -aq 'Program' "$log"
  check grep -aq 'Backup' "$log"
  echo "log: $log ($(wc -l <"$log") lines); backup: $archives"
}

verify() { verify_update "$kit"; }

# After a restore: every file of the previous installation is back byte for byte (files the
# interrupted run added may stay), and one backup archive is whole by Info-ZIP's test.
verify_previous_intact() {
  local f
  (cd "$work/previous" && find . -type f) | sort >"$work/previous.list"
  while read -r f; do check cmp "$work/previous/$f" "$target/$f"; done <"$work/previous.list"
  local archives
  archives=$(find "$target/Backup" -maxdepth 1 -iname 'Backup*.zip')
  check test "$(printf '%s\n' "$archives" | grep -c .)" = 1
  check unzip -tq "$archives"
  echo "restored: $(wc -l <"$work/previous.list") files as they were"
}

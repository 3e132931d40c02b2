# A second copy with /VERYSILENT while the wizard of a first copy is open: exit code 1618, the
# first copy's window stays the only one, the previous installation (update.sh's) is untouched.
source "$(dirname "${BASH_SOURCE[0]}")/update.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT

prepare() {
  prepare_previous
  (cd "$kit" && WINEDLLOVERRIDES=$app_overrides exec wine VelSetup.exe >"$work/first.out" 2>&1 </dev/null) &
  first_pid=$!
  check wine "$build/VelDriver.exe" window TFInstall 60000 >/dev/null
}

verify() {
  (cd "$work/previous" && find . -type f) | sort >"$work/previous.list"
  while read -r f; do check cmp "$work/previous/$f" "$target/$f"; done <"$work/previous.list"
  check test ! -e "$target/Backup"
  check wine "$build/VelDriver.exe" expect-windows TFInstall 1 >/dev/null
  # The refusal (in the language of the start, Czech here) and the exit code are in the log.
  check_log 'Unattended: exit code 1618'
  check env LC_ALL=C grep -aq '!!! Instalace ji. b..' "$unattended_log"
  check_nothing_shown
}

finish() {
  [ -n "${first_pid:-}" ] && kill "$first_pid" 2>/dev/null || true
}

# A wrong switch with /VERYSILENT: exit code 87, the log names the argument, nothing is written
# (the target folder of new-local.sh is not made).
source "$(dirname "${BASH_SOURCE[0]}")/new-local.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT '/DIRECTORY=C:\Velmor New' /SQLSERVER=VELMOR2

verify() {
  check test ! -e "$target"
  # The message names the argument (in the language of the start, Czech here).
  check_log 'Unattended: exit code 87'
  check env LC_ALL=C grep -aq '!!! .*/DIRECTORY=C:\\Velmor New' "$unattended_log"
  check test -z "$(grep -a 'Unattended: Next' "$unattended_log" || true)"
}

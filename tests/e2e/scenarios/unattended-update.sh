# An update with /VERYSILENT into the previous installation of update.sh (C:\Velmor E2E): no SQL
# Server switch is needed; exit code 0, the files of the kit in place, the backup whole.
source "$(dirname "${BASH_SOURCE[0]}")/update.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT '/DIR=C:\Velmor E2E'

verify() {
  verify_update "$kit"
  check_log 'Unattended: target folder C:\Velmor E2E' 'Unattended: exit code 0'
  check_nothing_shown
}

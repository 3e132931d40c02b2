# An update with /VERYSILENT and nothing else: the target is the definition's folder the wizard
# offers (C:\Velmor E2E, the previous installation of update.sh); exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/update.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT

verify() {
  verify_update "$kit"
  check_log 'Unattended: target folder C:\Velmor E2E' 'Unattended: exit code 0'
  check_nothing_shown
}

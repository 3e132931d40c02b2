# An update with /VERYSILENT whose second package is damaged (the kit of damaged-package.sh): the
# restore question gets Yes by itself, the previous installation is back byte for byte, and the
# exit code is 1603 with the reason in the log.
source "$(dirname "${BASH_SOURCE[0]}")/damaged-package.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT '/DIR=C:\Velmor E2E'

verify() {
  verify_previous_intact
  check test ! -e "$target/Velmor.INI"
  check_log 'Step Extract Lang_EN.zip: failed' 'Unattended: question answered Yes' \
    'Unattended: the previous installation has been restored from its backup' 'Unattended: exit code 1603'
  check_nothing_shown
}

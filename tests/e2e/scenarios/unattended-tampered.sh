# An update with /VERYSILENT from the kit of tampered-package.sh, whose Lang_EN.zip was replaced by
# another archive made with the kit's password: the package is refused by its SHA-256 before it is
# opened, the previous installation comes back by itself, and the exit code is 1603.
source "$(dirname "${BASH_SOURCE[0]}")/tampered-package.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT '/DIR=C:\Velmor E2E'

verify() {
  verify_previous_intact
  check test ! -e "$target/Velmor.INI"
  check_log 'Step Fetch Lang_EN.zip: failed' "$(sha256sum "$kit/Lang_EN.zip" | cut -c1-64)" \
    'Unattended: the previous installation has been restored from its backup' 'Unattended: exit code 1603'
  check_nothing_shown
}

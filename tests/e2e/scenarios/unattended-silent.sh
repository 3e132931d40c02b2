# /SILENT on the update of restore.sh (its program package is large): the window shows up for the
# run's progress pages only (the driver script unattended-silent.txt takes its picture there and
# closes it); the run stops, the previous installation is restored, and the exit code is 1602.
source "$(dirname "${BASH_SOURCE[0]}")/restore.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /SILENT '/DIR=C:\Velmor E2E'
silent_shot=$(winpath "$work/silent-progress.bmp")
export silent_shot
# The restore check of restore.sh, kept under its own name before verify is redefined below.
eval "$(declare -f verify | sed '1s/^verify /verify_restored /')"

verify() {
  verify_restored
  check_log 'Unattended: the user closed the progress window' \
    'Unattended: the previous installation has been restored from its backup' 'Unattended: exit code 1602'
  check_nothing_shown
  check test -s "$work/silent-progress.bmp"
}

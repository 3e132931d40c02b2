# A new installation with /VERYSILENT from the loopback web kit (run under with-server.sh): the
# installer's folder holds only VelSetup.exe and setup.dat (the kit of update-web.sh, whose
# largest package is cut once and resumed); the target and the SQL Server instance VELMOR2 are
# new-local.sh's. Velmor.INI and the shortcuts are checked, and the packages came from the server.
source "$(dirname "${BASH_SOURCE[0]}")/update-web.sh"
source "$(dirname "${BASH_SOURCE[0]}")/new-local.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT '/DIR=C:\Velmor New' /SQLSERVER=VELMOR2 /DATABASE=VelmorWeb

verify() {
  verify_new_installation '[^\\]+\\VELMOR2' VelmorWeb
  local requests
  requests=$(curl -fsS "http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/_requests?match=$(printf '%s' "$work/served" | od -An -tx1 | tr -d ' \n')")
  check grep -q 'Program.zip' <<<"$requests"
  check grep -q 'Lang_EN.zip' <<<"$requests"
  check_log "Downloaded " 'Unattended: exit code 0'
  check_nothing_shown
}

# A new installation with /VERYSILENT into a folder where the administrator put a Velmor.INI
# beforehand (onto new-local.sh's instance VELMOR2): the folder is taken, the question whether to
# replace the file gets No, and the file is kept byte for byte; exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/new-local.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT '/DIR=C:\Velmor New' /SQLSERVER=VELMOR2 /DATABASE=VelmorSilent
prepared_ini=$'[SQLServer]\r\nServer=PREPARED\\VELMOR\r\nSystemDB=Prepared\r\nLoginMode=2\r\n'
eval "$(declare -f prepare | sed '1s/^prepare /prepare_new_local /')"

prepare() {
  prepare_new_local
  mkdir -p "$target" && printf '%s' "$prepared_ini" >"$target/Velmor.INI"
}

verify() {
  check cmp -s "$target/Velmor.INI" <(printf '%s' "$prepared_ini")
  check test ! -e "$target/Velmor.INI.bak"
  check test -f "$target/Velmor.exe"
  check_log 'Unattended: the target folder holds only Velmor.INI: it is taken, and the file is kept' \
    'Unattended: question answered No' 'Unattended: exit code 0'
  check_nothing_shown
}

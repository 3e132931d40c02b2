# A new installation with /VERYSILENT from the folder kit onto the SQL Server instance VELMOR2
# registered beforehand (the hooks of new-local.sh): Velmor.INI names it and the database, the
# shortcuts are made, the exit code is 0 and the log at /LOG= tells the story.
source "$(dirname "${BASH_SOURCE[0]}")/new-local.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT '/DIR=C:\Velmor New' /SQLSERVER=VELMOR2 /DATABASE=VelmorSilent

verify() {
  verify_new_installation '[^\\]+\\VELMOR2' VelmorSilent
  check_log '/SQLSERVER=VELMOR2' 'Unattended: target folder C:\Velmor New' 'Unattended: exit code 0'
  check_nothing_shown
}

# A new installation with /VERYSILENT and /SQLNEW= (the kit of new-sql.sh: its MSSQL.ini offers the
# stand-in SQL Server setup as "Express x64", which ends with $SQL_SETUP_EXIT): 0 installs and
# ends with 0; 3010 installs and ends with 3010, the restart left to the administrator.
source "$(dirname "${BASH_SOURCE[0]}")/new-sql.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
unattended /VERYSILENT /NORESTART '/DIR=C:\Velmor New' '/SQLNEW=Express x64' /DATABASE=VelmorNewSql

verify() {
  verify_new_sql
  check_log "exit code $SQL_SETUP_EXIT" "Unattended: exit code $SQL_SETUP_EXIT" '/NORESTART'
  check_nothing_shown
}

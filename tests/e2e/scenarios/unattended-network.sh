# A new installation with /VERYSILENT onto a SQL Server on the network (the cases of network.sh,
# in a network namespace of its own): with the stand-in SQL Server Browser answering, the
# instance named is the one the scan lists; with no answer the scan's failure goes to the log
# and the name is written in as a user types it.
source "$(dirname "${BASH_SOURCE[0]}")/network.sh"
source "$(dirname "${BASH_SOURCE[0]}")/unattended.sh"
if [ "$NET_CASE" = browser ]; then server='DBSRV01\VELMOR'; else server='DBSRV02\SQL2019'; fi
unattended /VERYSILENT '/DIR=C:\Velmor New' "/SQLSERVER=$server" /DATABASE=VelmorNetE2E
eval "$(declare -f verify | sed '1s/^verify /verify_network /')"

verify() {
  verify_network
  check_log "Unattended: SQL Server $server on the network" 'Unattended: exit code 0'
  check_nothing_shown
}

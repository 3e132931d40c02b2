# Hooks of the new installation onto a network server (scenario network.txt), run with
# --own-network: the namespace has only loopback, and Wine has no SQLOLEDB provider, so the
# provider's enumerator fails. NET_CASE picks the case:
#   NET_CASE=failing   nothing answers the Browser request (it cannot even be sent: no route
#                      for the broadcast): the scan fails, the user types the server's name
#   NET_CASE=browser   a stand-in SQL Server Browser in the namespace answers the broadcast
#                      (routed to loopback): its instance is listed, preselected and chosen
source "$(dirname "${BASH_SOURCE[0]}")/new-local.sh"
export NET_CASE=${NET_CASE:?the case: NET_CASE=failing or browser}
browser_pid=

prepare() {
  check test -n "${VELSETUP_E2E_OWN_NETWORK:-}"
  rm -rf "$target"
  forget_sql_instances
  find "$drive_c/users" -name 'VelmorInst*.log' -delete 2>/dev/null || true
  touch "$work/started"
  if [ "$NET_CASE" = browser ]; then
    ip route add broadcast 255.255.255.255 dev lo 2>/dev/null || ip route add 255.255.255.255/32 dev lo
    python3 "$top/tests/e2e/fixtures/ssrp_browser.py" --record "$work/browser.requests" \
      'ServerName;DBSRV01;InstanceName;VELMOR;IsClustered;No;Version;15.0.2000.5;tcp;1433;;' >"$work/browser.out" 2>&1 &
    browser_pid=$!
    for _ in $(seq 50); do grep -q ready "$work/browser.out" 2>/dev/null && break; sleep 0.1; done
    check grep -q ready "$work/browser.out"
  fi
}

finish() {
  [ -n "$browser_pid" ] && kill "$browser_pid" 2>/dev/null
  return 0
}

verify() {
  local log
  log=$(find "$drive_c/users" -name 'VelmorInst*.log' -type f | head -n 1)
  check test -n "$log"
  # The provider's failure is in the log either way.
  check grep -aq 'CLSIDFromProgID' "$log"
  if [ "$NET_CASE" = browser ]; then
    # The installer's broadcast reached the stand-in Browser.
    check grep -q ' 02$' "$work/browser.requests"
    verify_new_installation 'DBSRV01\\VELMOR' VelmorNetE2E
  else
    verify_new_installation 'DBSRV02\\SQL2019' VelmorNetE2E
  fi
}

# Hooks of the wizard-window scenario (window.txt); WINDOW_CASE picks the case:
#   version       the index from the loopback server given with /INDEX=: the version page, a version
#                 of the other product generation, the run completed (run under with-server.sh)
#   empty-index   an index without [Velmor1]: the message names its address and the reason
#   close-load    the close box while a version's setup.dat is loading (the server stalls it)
#   close-setup   the close box while the stand-in SQL Server setup runs: the wait is abandoned
#   two-starts    two copies started together: one wizard, the other refused
#   ini-yes, ini-no   a Velmor.INI already in the new installation's folder: replaced or kept
source "$(dirname "${BASH_SOURCE[0]}")/new-local.sh"
export WINDOW_CASE=${WINDOW_CASE:?the case}
# Pictures the driver takes on the way (shot lines), for review.
mkdir -p "$build/e2e/shots"
export WINDOW_SHOTS; WINDOW_SHOTS=$(winpath "$build/e2e/shots")
old_ini=$'[SQLServer]\r\nServer=OLDSERVER\r\nSystemDB=OldData\r\nLoginMode=2\r\n'

# serve_kit: the demo kit in $work/served, handed out by the test server; the installer's folder
# holds only VelSetup.exe, and /INDEX= names the served index.
serve_kit() {
  [ -n "${VELSETUP_TEST_HTTP_PORT:-}" ] || { echo "FAIL: no test server (run under with-server.sh)" >&2; return 1; }
  local served=$work/served hex
  hex=$(printf '%s' "$served" | od -An -tx1 | tr -d ' \n')
  server_url="http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/kit/$hex/"
  MSSQL_URL="http://127.0.0.1:$VELSETUP_TEST_HTTP_PORT/kit/$(printf '%s' "$served/MSSQL" | od -An -tx1 | tr -d ' \n')/" \
    bash "$top/scripts/make-demo-kit.sh" "$served" "$server_url" >/dev/null
  mkdir -p "$kit"
  velsetup_args=("/INDEX=${server_url}dats.ini")
}

make_kit() {
  case $WINDOW_CASE in
    version) serve_kit ;;
    empty-index)
      serve_kit
      printf '[Velmor2]\r\nURL=%ssetup.dat\r\nName=Gap\r\n' "$server_url" >"$work/served/dats.ini" ;;
    close-load)
      serve_kit
      printf '[Velmor1]\r\nURL=http://127.0.0.1:%s/stall/setup.dat?size=100000&send=10\r\nName=Stalled\r\n' \
        "$VELSETUP_TEST_HTTP_PORT" >"$work/served/dats.ini" ;;
    close-setup)
      bash "$top/scripts/make-demo-kit.sh" "$kit" >/dev/null
      cp "$build/tests/SqlSetupStandIn.exe" "$kit/SQLEXPR_x64.exe"
      export STANDIN_RECORD; STANDIN_RECORD=$(winpath "$work/standin.ran")
      printf '[SQL]\r\nExpress x64=SQLEXPR_x64.exe;1;1\r\n[Params]\r\nExpress x64=/Q /INSTANCENAME=VELMORNEW /VIEW=64 /RECORD=%s /WAITFOR=%s\r\n' \
        "$STANDIN_RECORD" "$(winpath "$work/release")" >"$kit/MSSQL.ini" ;;
    *) bash "$top/scripts/make-demo-kit.sh" "$kit" >/dev/null ;;
  esac
}

prepare() {
  rm -rf "$target"
  forget_sql_instances
  touch "$work/started"
  case $WINDOW_CASE in
    close-setup) ;;
    *) wine "$build/tests/SqlSetupStandIn.exe" /INSTANCENAME=VELMOR2 /VIEW=32 /EXITCODE=0 \
         /RECORD="$(winpath "$work/standin.ran")" >/dev/null 2>&1 ;;
  esac
  case $WINDOW_CASE in
    ini-yes|ini-no) mkdir -p "$target" && printf '%s' "$old_ini" >"$target/Velmor.INI" ;;
    two-starts)
      # The other copy, started a moment before the run's own: both are in their start-up then.
      (cd "$kit" && LC_ALL=cs_CZ.UTF-8 exec wine VelSetup.exe >"$work/second.out" 2>&1 </dev/null) &
      ;;
  esac
}

# The log of this run (the newest VelmorInst*.log of the prefix), as UTF-8.
run_log() {
  local log
  log=$(find "$drive_c" -name 'VelmorInst*.log' -newer "$work/started" 2>/dev/null | sort | tail -n 1)
  [ -n "$log" ] || { echo "FAIL: no log of the run" >&2; return 1; }
  iconv -f CP1250 -t UTF-8 "$log" 2>/dev/null || cat "$log"
}

verify() {
  case $WINDOW_CASE in
    version)
      verify_new_installation '[^\\]+\\VELMOR2' VelmorE2E
      check grep -qF "Product index from the command line: ${server_url}dats.ini" <<<"$(run_log)" ;;
    empty-index) check grep -qF "offers no product version" <<<"$(run_log)" ;;
    close-load)
      check grep -qF "The wizard window was closed" <<<"$(run_log)"
      check test ! -e "$target" ;;
    close-setup)
      check test -s "$work/standin.ran"
      check grep -qF "The wizard window was closed" <<<"$(run_log)"
      check grep -qF "Error Code259" <<<"$(run_log)"
      # Nothing was installed and nothing was registered by this run.
      check test ! -e "$target/Velmor.INI"
      if wine reg query 'HKLM\SOFTWARE\Microsoft\Microsoft SQL Server' /v InstalledInstances /reg:64 2>/dev/null | grep VELMORNEW >/dev/null; then
        echo "FAIL: the abandoned setup registered its instance" >&2; return 1
      fi ;;
    two-starts)
      # The refusal itself was seen by the driver. (Its log is not looked for: two copies that
      # end within the same second write logs of the same name.)
      : ;;
    ini-yes)
      verify_new_installation '[^\\]+\\VELMOR2' VelmorE2E
      check cmp -s "$target/Velmor.INI.bak" <(printf '%s' "$old_ini")
      check grep -qF "the previous file is kept as" <<<"$(run_log)" ;;
    ini-no)
      check cmp -s "$target/Velmor.INI" <(printf '%s' "$old_ini")
      check test ! -e "$target/Velmor.INI.bak"
      check test -f "$target/Velmor.exe"
      check grep -qF "kept as it is" <<<"$(run_log)" ;;
  esac
  echo "case $WINDOW_CASE verified"
}

finish() {
  # Lets an abandoned stand-in end.
  touch "$work/release" 2>/dev/null || true
}

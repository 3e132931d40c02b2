#!/usr/bin/env bash
# Starts the real VelSetup.exe under Wine on a demo kit and walks it with VelDriver.exe.
#   run-scenario.sh [OPTIONS] BUILD_DIR SCENARIO
# BUILD_DIR is the win64 build (VelSetup.exe, VelDriver.exe); SCENARIO a driver script.
# Options:
#   --screen WxH          the X screen (default 1280x1024)
#   --dpi N               Wine's LogPixels for the run (default 96)
#   --taskbar PX          the work area leaves PX pixels at the bottom, as a taskbar does
#   --shot FILE.png       a picture of the screen when the scenario has run
#   --windows-dlls-only   every DLL that Wine has and Windows lacks is switched off
#   --own-network         the whole run (Xvfb, Wine, the hooks) in a network namespace of its own
#                         whose only interface is loopback: what the programs send (a broadcast
#                         to the SQL Server Browser) cannot leave the machine
#   --expect-exit CODE    the installer is started as an administrator's script starts it
#                         (cmd's start /wait) and must end with this exit code; SCENARIO may
#                         then be "none": no driver, the run waits for the installer to end
#                         (at most 600 s). The hooks' velsetup_args are its command line.
#   --hooks FILE.sh       shell functions for the run, all optional (variables: top, build, work,
#                         kit, WINEPREFIX, drive_c; helpers: check, winpath):
#                           make_kit     makes the kit in $kit instead of the demo kit
#                           prepare      before the installer starts (a previous installation,
#                                        registry keys, ...)
#                           verify       after the scenario passed and the installer has ended:
#                                        what the run left on disk (runs under set -e)
#                           finish       at the end, however the run ended (ends what prepare
#                                        started)
#                         Variables the hooks export reach the driver (its "when" lines).
# Uses its own Wine prefix (build/wine-e2e) and a private Xvfb; ends both Wine and Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
screen=1280x1024 dpi=96 taskbar=0 shot= windows_only= hooks= own_network= expect_exit=
arguments=("$@")
while [ $# -gt 2 ]; do
  case $1 in
    --screen) screen=$2; shift 2 ;;
    --dpi) dpi=$2; shift 2 ;;
    --taskbar) taskbar=$2; shift 2 ;;
    --shot) shot=$2; shift 2 ;;
    --windows-dlls-only) windows_only=1; shift ;;
    --own-network) own_network=1; shift ;;
    --expect-exit) expect_exit=$2; shift 2 ;;
    --hooks) hooks=$(cd "$(dirname "$2")" && pwd)/$(basename "$2"); shift 2 ;;
    *) echo "run-scenario: unknown option $1" >&2; exit 2 ;;
  esac
done
[ $# -eq 2 ] || { echo "usage: $0 [OPTIONS] BUILD_DIR SCENARIO" >&2; exit 2; }
if [ -n "$own_network" ] && [ -z "${VELSETUP_E2E_OWN_NETWORK:-}" ]; then
  # Root may make a network namespace directly; elsewhere a user namespace makes it possible.
  export VELSETUP_E2E_OWN_NETWORK=1
  if unshare -n true 2>/dev/null; then
    exec unshare -n -- "$0" "${arguments[@]}"
  elif unshare -rn true 2>/dev/null; then
    exec unshare -rn -- "$0" "${arguments[@]}"
  fi
  echo "FAIL: no network namespace of its own can be made here (unshare -n, unshare -rn)" >&2
  exit 1
fi
if [ -n "$own_network" ]; then
  ip link set lo up
  if [ "$(ip -o link show | grep -cv ': lo:')" -ne 0 ]; then
    echo "FAIL: the run's network namespace has more than loopback" >&2
    exit 1
  fi
fi
build=$(cd "$1" && pwd)
if [ "$2" = none ]; then
  [ -n "$expect_exit" ] && [ -n "$hooks" ] || { echo "run-scenario: no scenario needs --expect-exit and --hooks" >&2; exit 2; }
  scenario=
  work=$build/e2e/$(basename "$hooks" .sh)-$screen-$dpi
else
  scenario=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
  work=$build/e2e/$(basename "$scenario" .txt)-$screen-$dpi
fi
rm -rf "$work"
mkdir -p "$work"

export VELSETUP_WINE_ROOT=$top/build/wine-e2e
source "$top/scripts/wine-env.sh"
# For the installer's own process: Wine's libraries that no Windows has are switched off, so a
# program that needed one would not start here either. zlib1.dll stays on for it: Wine's own
# user32.dll imports zlib1.dll, so without it no window program starts under this Wine (nor
# Wine's reg.exe). That the installer itself does not import zlib1.dll is what the import test
# proves; the console fixture below shows that switching zlib1.dll off stops a program that does.
app_overrides=$WINEDLLOVERRIDES
if [ -n "$windows_only" ]; then
  app_overrides="$WINEDLLOVERRIDES;libpng16,libjpeg-8,libtiff-5,liblcms2-2,libxml2-2,libxslt-1,libgsm,libmpg123-0,faudio,libvkd3d-1,libvkd3d-shader-1,wined3d,winemapi,winegstreamer,winevulkan="
fi
xvfb_pid=
wine_pid=
cleanup() {
  if declare -F finish >/dev/null; then finish || true; fi
  [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
# A fresh wine server, so the dpi below is the one every process of the run starts with.
wineserver -k 2>/dev/null || true
source "$top/scripts/xvfb.sh"
XVFB_SCREEN=${screen}x24 start_private_xvfb 200 260
w=${screen%x*} h=${screen#*x}
if [ "$taskbar" -gt 0 ]; then
  xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, $w, $((h - taskbar))"
fi
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1

if [ -n "$windows_only" ]; then
  # The switch works: a program built to need zlib1.dll does not start without it.
  if WINEDLLOVERRIDES="$app_overrides;zlib1=" wine "$build/tests/imports/ImportFixture.exe" >/dev/null 2>&1; then
    echo "FAIL: ImportFixture.exe started although zlib1.dll is switched off" >&2
    exit 1
  fi
fi

kit=$work/kit
drive_c=$WINEPREFIX/drive_c
# check COMMAND...: runs it and says which check failed.
check() { "$@" || { echo "FAIL: $*" >&2; return 1; }; }
# winpath UNIXPATH: the path as the Windows programs see it (Z:\...).
winpath() { local p="Z:$1"; echo "${p//\//\\}"; }
# The installer's command line; hooks may set it (velsetup_args=("/INDEX=...")).
velsetup_args=()
if [ -n "$hooks" ]; then
  source "$hooks"
fi
if declare -F make_kit >/dev/null; then
  make_kit
else
  bash "$top/scripts/make-demo-kit.sh" "$kit" >/dev/null
fi
cp "$build/VelSetup.exe" "$kit/"
if declare -F prepare >/dev/null; then
  prepare
fi
if [ -n "$expect_exit" ]; then
  # As an administrator's script starts it: start /wait, then the exit code it left.
  rm -f "$work/exit-code"
  printf '@echo off\r\nstart "" /wait "%s" %%*\r\n>"%s" echo %%ERRORLEVEL%%\r\n' \
    "$(winpath "$kit/VelSetup.exe")" "$(winpath "$work/exit-code")" >"$work/start-wait.cmd"
  (cd "$kit" && WINEDLLOVERRIDES=$app_overrides LC_ALL=cs_CZ.UTF-8 exec wine cmd /c "$(winpath "$work/start-wait.cmd")" \
     "${velsetup_args[@]}" >"$work/velsetup.out" 2>&1 </dev/null) &
else
  (cd "$kit" && WINEDLLOVERRIDES=$app_overrides LC_ALL=cs_CZ.UTF-8 exec wine VelSetup.exe "${velsetup_args[@]}" >"$work/velsetup.out" 2>&1 </dev/null) &
fi
wine_pid=$!

status=0
if [ -n "$scenario" ]; then
  LC_ALL=cs_CZ.UTF-8 wine "$build/VelDriver.exe" --script "Z:$scenario" >"$work/driver.out" 2>&1 </dev/null || status=$?
  tr -d '\r' <"$work/driver.out"
fi
if [ -n "$expect_exit" ] && [ $status -eq 0 ]; then
  for _ in $(seq 3000); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$wine_pid" 2>/dev/null; then
    echo "FAIL: VelSetup.exe has not ended within 600 s" >&2
    exit 1
  fi
  wine_pid=
  code=$(tr -d '\r\n ' <"$work/exit-code" 2>/dev/null || true)
  echo "VelSetup.exe ${velsetup_args[*]}: exit code $code"
  if [ "$code" != "$expect_exit" ]; then
    echo "FAIL: exit code ${code:-(none)}, expected $expect_exit" >&2
    cat "$work/velsetup.out" >&2
    status=1
  fi
fi
if [ -n "$shot" ]; then
  mkdir -p "$(dirname "$shot")"
  import -window root "$shot" && echo "picture: $shot"
fi
if [ $status -ne 0 ] && ! kill -0 "$wine_pid" 2>/dev/null; then
  echo "VelSetup.exe had ended:" && cat "$work/velsetup.out"
fi
if [ $status -eq 0 ] && declare -F verify >/dev/null; then
  # What the run leaves (the log among it) is complete once the installer has ended.
  for _ in $(seq 100); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$wine_pid" 2>/dev/null; then
    echo "FAIL: VelSetup.exe has not ended 20 s after the scenario" >&2
    exit 1
  fi
  wine_pid=
  set +e
  (set -e; verify)
  status=$?
  set -e
  [ $status -eq 0 ] && echo "verified: what the run left on disk"
fi
exit $status

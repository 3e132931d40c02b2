#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the project's private prefix.
# Starts a private Xvfb for the run when no display is set, so GUI tests work headless.
set -u
source "$(dirname "$0")/wine-env.sh"
xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    break
  done
fi
# Wine's helper processes (services, explorer) outlive the program and would hold our
# stdout open; the program writes to files instead, which are copied out when it ends.
wineserver -p 30 </dev/null >/dev/null 2>&1 || true
out=$(mktemp) err=$(mktemp)
# A Czech system: ANSI code page 1250, OEM 852, Czech date and time formats.
LC_ALL=cs_CZ.UTF-8 wine "$@" >"$out" 2>"$err" </dev/null
rc=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
exit $rc

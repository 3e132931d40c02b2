#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the project's private prefix.
# Starts a private Xvfb for the run when no display is set, so GUI tests work headless.
set -u
source "$(dirname "$0")/wine-env.sh"
xvfb_pid=
source "$(dirname "$0")/xvfb.sh"
[ -n "${DISPLAY:-}" ] || start_private_xvfb 90 140
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

# Sourced: start_private_xvfb FIRST LAST starts Xvfb on the first free display number in the
# range, exports DISPLAY and sets xvfb_pid (the caller kills it when done). XVFB_SCREEN sets the
# screen (default 1280x1024x24).
start_private_xvfb() {
  local n
  xvfb_pid=
  for n in $(seq "$1" "$2"); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    return 0
  done
  return 1
}

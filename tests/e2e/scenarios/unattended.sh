# Helpers of the unattended scenarios (run-scenario.sh --expect-exit CODE --hooks FILE none): a
# scenario's hooks source the hooks of the interactive scenario they share a kit and a previous
# installation with, then this file, and name the installer's command line with `unattended`.
unattended_log=$work/setup.log

# unattended ARGS...: the installer's command line, after /LOG= into the run's folder.
unattended() {
  rm -f "$unattended_log"
  velsetup_args=("/LOG=$(winpath "$unattended_log")" "$@")
}

# check_log TEXT...: the /LOG= file holds each text (the log is in the ANSI code page; the texts
# checked are ASCII), and it is the log the installer saved in its temporary folder.
check_log() {
  check test -s "$unattended_log"
  local text
  for text in "$@"; do check grep -aqF -- "$text" "$unattended_log"; done
  local saved
  saved=$(find "$drive_c/users" -name 'VelmorInst*.log' -type f -newer "$work/kit/VelSetup.exe" | head -n 1)
  check cmp "$unattended_log" "$saved"
}

# check_nothing_shown: no message reached the screen; every one is in the log instead.
check_nothing_shown() {
  check grep -aqF 'Unattended installation: no message is shown' "$unattended_log"
  check test -z "$(grep -a 'procedura ShowMessageForm\|TFMessage' "$unattended_log" || true)"
}

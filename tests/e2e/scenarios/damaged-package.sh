# Hooks of an update whose second package is damaged (run-scenario.sh --hooks): Lang_EN.zip of
# the demo kit has bytes overwritten inside its first entry, so it opens but cannot be extracted.
# The previous installation is the update scenario's.
source "$(dirname "${BASH_SOURCE[0]}")/update.sh"

make_kit() {
  bash "$top/scripts/make-demo-kit.sh" "$kit" >/dev/null
  printf 'damaged!' | dd of="$kit/Lang_EN.zip" bs=1 seek=40 conv=notrunc status=none
  check unzip -l "$kit/Lang_EN.zip" >/dev/null  # the directory is still readable
}

# The run stopped at the damaged package: no Velmor.INI, the previous files back byte for byte,
# and the log names the package that failed.
verify() {
  verify_previous_intact
  check test ! -e "$target/Velmor.INI"
  local log
  log=$(find "$drive_c/users" -name 'VelmorInst*.log' -type f | head -n 1)
  check grep -aq 'Step Extract Lang_EN.zip: failed' "$log"
  check grep -aq 'The update stops at the failed package Lang_EN.zip' "$log"
}

# Hooks of an update whose second package is damaged (run-scenario.sh --hooks): Lang_EN.zip of
# the demo kit has bytes of its first entry's data overwritten, so it opens but its extraction
# fails, after Program.zip has replaced files of the previous installation.
# The previous installation is the update scenario's.
source "$(dirname "${BASH_SOURCE[0]}")/update.sh"

make_kit() {
  bash "$top/scripts/make-demo-kit.sh" "$kit" >/dev/null
  python3 - "$kit/Lang_EN.zip" <<'PY'
import struct, sys
with open(sys.argv[1], "r+b") as f:
    header = f.read(30)
    name, extra, size = struct.unpack("<HH", header[26:30]) + struct.unpack("<I", header[18:22])
    f.seek(30 + name + extra + size // 2)  # inside the entry's data, past the encryption header
    f.write(b"damaged!")
PY
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

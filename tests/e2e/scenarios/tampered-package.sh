# Hooks of an update from a kit whose definition carries each package's SHA-256, where someone
# has since put another archive in the place of Lang_EN.zip: made with the kit's own password, so
# it opens, but its hash is not the one the definition names. The previous installation is the
# update scenario's.
source "$(dirname "${BASH_SOURCE[0]}")/update.sh"

make_kit() {
  local velkit=${VELKIT:-$top/build/native/tools/velkit}
  bash "$top/scripts/make-demo-kit.sh" "$kit" >/dev/null
  check "$velkit" definition pack "$kit/setup.xml" "$kit/setup.dat" --hash-from "$kit" >/dev/null
  check grep -q "$(sha256sum "$kit/Lang_EN.zip" | cut -c1-64)" <("$velkit" definition show "$kit/setup.dat")
  # The replacement: the same names and password, other content.
  local other=$work/other
  rm -rf "$other" && mkdir -p "$other"
  printf '[Strings]\r\nHello=Pwned\r\n' >"$other/Velmor_EN.lng"
  rm -f "$kit/Lang_EN.zip"
  (cd "$other" && zip -q -X -P "$package_password" "$kit/Lang_EN.zip" Velmor_EN.lng)
}

# The run stopped at the replaced package before opening it: no Velmor.INI, the previous files
# back byte for byte, and the log names the package with both hashes.
verify() {
  verify_previous_intact
  check test ! -e "$target/Velmor.INI"
  local log
  log=$(find "$drive_c/users" -name 'VelmorInst*.log' -type f | head -n 1)
  check grep -aq 'Step Fetch Lang_EN.zip: failed' "$log"
  check grep -aq "$(sha256sum "$kit/Lang_EN.zip" | cut -c1-64)" "$log"
  check grep -aq 'The update stops at the failed package Lang_EN.zip' "$log"
}

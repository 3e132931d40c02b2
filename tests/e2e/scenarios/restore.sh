# Hooks of the stopped and restored update (run-scenario.sh --hooks): the demo kit's program
# package grows by 3,000 files, so that its extraction lasts long enough to be stopped; the
# previous installation is the update scenario's.
source "$(dirname "${BASH_SOURCE[0]}")/update.sh"

make_kit() {
  bash "$top/scripts/make-demo-kit.sh" "$kit" >/dev/null
  local extra=$work/extra
  rm -rf "$extra" && mkdir -p "$extra/Data/Many"
  head -c 24000000 /dev/urandom | (cd "$extra/Data/Many" && split -b 8000 -a 4 -d - file)
  (cd "$extra" && zip -q -r -X -P "$package_password" "$kit/Program.zip" Data)
}

# Every file of the previous installation is back byte for byte. The restore unpacks the backup
# over the target: files the stopped extraction had added stay (their count is printed; the
# package being extracted when Stop was answered is finished, so packages stay whole).
verify() {
  local f
  (cd "$work/previous" && find . -type f) | sort >"$work/previous.list"
  (cd "$target" && find . -path ./Backup -prune -o -type f -print) | sort >"$work/after.list"
  while read -r f; do check cmp "$work/previous/$f" "$target/$f"; done <"$work/previous.list"
  local added
  added=$(comm -13 "$work/previous.list" "$work/after.list" | wc -l)
  echo "files the stopped extraction had added: $added"
  local archives
  archives=$(find "$target/Backup" -maxdepth 1 -iname 'Backup*.zip')
  check unzip -tq "$archives"
  echo "restored: $(wc -l <"$work/previous.list") files as they were"
}

#!/usr/bin/env bash
# Makes a small demonstration kit: setup.dat (made with velkit from a generated definition),
# the password-protected package archives Program.zip and Lang_EN.zip (made with Info-ZIP zip -P)
# and a product index dats.ini naming the kit's setup.dat.
#
#   scripts/make-demo-kit.sh OUTDIR [SERVER_URL]
#
# Without SERVER_URL the definition names no package server: the installer takes the archives
# from its own folder (put VelSetup.exe into OUTDIR). With SERVER_URL (for example
# http://localhost:8000/kit/) the definition's InstallServer and MSSQL point there and dats.ini
# lists SERVER_URL/setup.dat (without it, the local path of OUTDIR/setup.dat). VELKIT names the velkit program (default: the native build's);
# MSSQL_URL, with a SERVER_URL, where the installer fetches MSSQL.ini (default SERVER_URL/MSSQL/;
# the file is in OUTDIR/MSSQL either way).
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 OUTDIR [SERVER_URL]" >&2
  exit 2
fi
top=$(cd "$(dirname "$0")/.." && pwd)
velkit=${VELKIT:-$top/build/native/tools/velkit}
if [ ! -x "$velkit" ]; then
  echo "make-demo-kit: $velkit is missing; build it with: cmake --build build/native --target velkit" >&2
  exit 2
fi
out=$1
server=${2:-}
if [ -n "$server" ] && [ "${server%/}" = "$server" ]; then server="$server/"; fi

package_password='Demo#Kit2024'
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The package contents (ASCII names, so every unzip stores and reads them alike).
mkdir -p "$work/Program/Data" "$work/Lang"
printf 'Velmor demonstration program (placeholder for Velmor.exe)\r\n' >"$work/Program/Velmor.exe"
printf 'Demonstrační data Velmoru: žluťoučký kůň\r\n' >"$work/Program/Data/Ukazka.txt"
printf '[Velmor]\r\nEdition=Demo\r\n' >"$work/Program/Data/Demo.cfg"
printf '[Strings]\r\nHello=Hello\r\nGoodbye=Goodbye\r\n' >"$work/Lang/Velmor_EN.lng"
rm -f "$out/Program.zip" "$out/Lang_EN.zip"
(cd "$work/Program" && zip -q -r -X -P "$package_password" "$out/Program.zip" .)
(cd "$work/Lang" && zip -q -r -X -P "$package_password" "$out/Lang_EN.zip" .)

scrambled=$("$velkit" password scramble "$package_password")
mssql=""
[ -n "$server" ] && mssql=${MSSQL_URL:-${server}MSSQL/}
cat >"$work/setup.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<SetupDat>
  <Main>
    <LocalPath></LocalPath>
    <Password>$scrambled</Password>
    <MSSQL>$mssql</MSSQL>
    <InstallServer>$server</InstallServer>
    <InstallLang>CZ</InstallLang>
    <InstallDir>%SystemDrive%\\Velmor Demo</InstallDir>
    <InstallDirAlter></InstallDirAlter>
    <VersionProd>1</VersionProd>
    <DBName>VelmorDemo</DBName>
    <DBNameTarpel>VelmorTarpel</DBNameTarpel>
    <DBNameKest>VelmorKest</DBNameKest>
    <TypInst>2</TypInst>
    <OnlyVersion>false</OnlyVersion>
    <Version>4.7.2.0001</Version>
    <TechSupport>podpora@example.cz</TechSupport>
    <MinDiskFree>1</MinDiskFree>
    <WinVerMajor>6</WinVerMajor>
    <WinVerMinor>1</WinVerMinor>
  </Main>
  <ZipFiles>
    <ZipFile>
      <FileName>Program</FileName>
      <DirInstall></DirInstall>
      <TypInstalace>0</TypInstalace>
      <Povinny>true</Povinny>
      <Jazyk>false</Jazyk>
    </ZipFile>
    <ZipFile>
      <FileName>Lang_EN.zip</FileName>
      <DirInstall>Lang</DirInstall>
      <TypInstalace>0</TypInstalace>
      <Jazyk>true</Jazyk>
      <JazykKod>EN</JazykKod>
    </ZipFile>
  </ZipFiles>
</SetupDat>
XML
cp "$work/setup.xml" "$out/setup.xml"
"$velkit" definition pack "$work/setup.xml" "$out/setup.dat" >/dev/null

# The SQL Server editions the kit offers (the installer ends at start without this file): in the
# kit's folder, or below MSSQL/ of the package server.
mssql_dir=$out
[ -n "$server" ] && mssql_dir=$out/MSSQL && mkdir -p "$mssql_dir"
printf '[SQL]\r\nExpress=SQLEXPR.exe;1;1\r\n[Params]\r\nExpress=/Q\r\n' >"$mssql_dir/MSSQL.ini"

# Without a server the index names the kit's setup.dat by its local path.
index_url="${server:-$out/}setup.dat"
printf '[Velmor1]\r\nURL=%s;Default\r\nName=Velmor demo\r\n' "$index_url" >"$out/dats.ini"

echo "demo kit in $out: setup.dat, setup.xml, Program.zip, Lang_EN.zip, dats.ini, MSSQL.ini (package password $package_password)"

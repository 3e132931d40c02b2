#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine:
# the Debian packages, and static MinGW-w64 builds of libzip (Windows crypto),
# PCRE2, pugixml and GoogleTest made from Debian's own source packages.
# The MinGW libraries are cached under .deps/<key>/; a second run takes seconds.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
deps="$top/.deps"
mkdir -p "$deps"

packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  mingw-w64-tools libz-mingw-w64-dev
  zlib1g-dev libzip-dev libpcre2-dev libpugixml-dev libcurl4-openssl-dev libssl-dev
  libgtest-dev googletest
  wine wine64 xvfb xdotool imagemagick x11-utils fonts-dejavu-core
  zip unzip p7zip-full curl python3 openssl osslsigncode strace
  util-linux iproute2
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes its Czech code pages from LC_ALL=cs_CZ.UTF-8 (scripts/wine-run.sh); without that locale
# glibc falls back to ASCII and Wine cannot name files with Czech letters on the Linux side.
if ! locale -a 2>/dev/null | grep -qi '^cs_CZ\.utf-\?8$'; then
  echo "deps: generating the cs_CZ.UTF-8 locale"
  localedef -i cs_CZ -f UTF-8 cs_CZ.UTF-8
fi

# Versions of the sources we build: bookworm main.
LIBZIP_VER=1.7.3
PCRE2_VER=10.42
PUGIXML_VER=1.13
GTEST_VER=$(dpkg-query -W -f='${Version}' googletest)
key="libzip-$LIBZIP_VER.pcre2-$PCRE2_VER.pugixml-$PUGIXML_VER.gtest-$GTEST_VER.r2"
prefix_root="$deps/$key"
if [ -f "$prefix_root/.done" ]; then
  ln -sfn "$key" "$deps/current"
  echo "deps: MinGW libraries cached in $prefix_root"
  exit 0
fi

src="$deps/src"
mkdir -p "$src/apt/lists/partial" "$src/apt/archives/partial"
# A private deb-src list: the system's apt configuration is left alone.
cat > "$src/apt/sources.list" <<LIST
deb-src http://deb.debian.org/debian bookworm main
LIST
aptopts=(-o "Dir::Etc::SourceList=$src/apt/sources.list" -o "Dir::Etc::SourceParts=-"
         -o "Dir::State::Lists=$src/apt/lists" -o "Dir::Cache::Archives=$src/apt/archives")
apt-get "${aptopts[@]}" update -q >/dev/null

fetch_source() { # package version-prefix -> prints the unpacked folder
  local pkg=$1 ver=$2 dir
  dir=$(ls -d "$src/$pkg-$ver"* 2>/dev/null | head -n1 || true)
  if [ -z "$dir" ]; then
    (cd "$src" && apt-get "${aptopts[@]}" source -q --download-only "$pkg" >/dev/null &&
       dpkg-source --no-check -x "$(ls "$pkg"_"$ver"*.dsc | head -n1)" >/dev/null)
    dir=$(ls -d "$src/$pkg-$ver"* | head -n1)
  fi
  echo "$dir"
}

libzip_src=$(fetch_source libzip "$LIBZIP_VER")
pcre2_src=$(fetch_source pcre2 "$PCRE2_VER")
pugixml_src=$(fetch_source pugixml "$PUGIXML_VER")
gtest_src=/usr/src/googletest

jobs=$(nproc)
for triplet in x86_64-w64-mingw32 i686-w64-mingw32; do
  prefix="$prefix_root/$triplet"
  tc="$top/cmake/toolchain-$triplet.cmake"
  b="$deps/build/$key/$triplet"
  common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$tc" -DCMAKE_BUILD_TYPE=Release
          -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF -Wno-dev
          -DVELSETUP_DEPS_PREFIX="$prefix")

  echo "deps: libzip for $triplet"
  cmake -S "$libzip_src" -B "$b/libzip" "${common[@]}" \
    -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
    -DZLIB_LIBRARY="/usr/$triplet/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triplet/include" >/dev/null
  cmake --build "$b/libzip" -j "$jobs" >/dev/null
  cmake --install "$b/libzip" >/dev/null

  echo "deps: pcre2 for $triplet"
  cmake -S "$pcre2_src" -B "$b/pcre2" "${common[@]}" \
    -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=ON -DPCRE2_SUPPORT_JIT=OFF \
    -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_STATIC_RUNTIME=OFF >/dev/null
  cmake --build "$b/pcre2" -j "$jobs" >/dev/null
  cmake --install "$b/pcre2" >/dev/null

  echo "deps: pugixml for $triplet"
  cmake -S "$pugixml_src" -B "$b/pugixml" "${common[@]}" -DPUGIXML_BUILD_TESTS=OFF >/dev/null
  cmake --build "$b/pugixml" -j "$jobs" >/dev/null
  cmake --install "$b/pugixml" >/dev/null

  echo "deps: googletest for $triplet"
  cmake -S "$gtest_src" -B "$b/gtest" "${common[@]}" -Dgtest_disable_pthreads=ON >/dev/null
  cmake --build "$b/gtest" -j "$jobs" >/dev/null
  cmake --install "$b/gtest" >/dev/null
done
touch "$prefix_root/.done"
ln -sfn "$key" "$deps/current"
echo "deps: MinGW libraries built in $prefix_root"

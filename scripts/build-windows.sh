#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows with mingw-w64 and packs tarnelvois-<version>-win64.zip.
# SDL2, libzip and GoogleTest are built from Debian's source packages, STK from the release tarball
# beside the project (../shared/vendor, its sha256 checked first), into a cache outside the clone
# (${XDG_CACHE_HOME:-~/.cache}/tarnelvois-windows/<library>-<version>), once per version.
#   scripts/build-windows.sh            libraries, program, tests, zip (into build-windows/)
#   scripts/build-windows.sh libraries  only the libraries
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNELVOIS_WINDOWS_BUILD_DIR:-$root/build-windows}
cache=${TARNELVOIS_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnelvois-windows}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=${TARNELVOIS_JOBS:-$(nproc)}
triplet=x86_64-w64-mingw32
sysroot=/usr/$triplet

as_root() { if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi; }
say() { echo "build-windows: $*" >&2; }

ensure_tools() {
  local missing=()
  for package in g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 dpkg-dev zip unzip ccache; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    say "installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

. "$root/scripts/debian-sources.sh"

# Builds a CMake list into the cache as <name>-<version>, unless that version is there already.
# cmake_into_cache <name> <version> <CMake list> <cmake options...>
cmake_into_cache() {
  local name=$1 version=$2 list=$3; shift 3
  local prefix=$cache/$name-$version log=$cache/$name-$version.log
  say "building $name $version (log: $log)"
  rm -rf "$prefix" "$cache/build/$name"
  if ! { cmake -S "$list" -B "$cache/build/$name" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
           -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" \
         && cmake --build "$cache/build/$name" -j"$jobs" \
         && cmake --install "$cache/build/$name"; } >"$log" 2>&1; then
    say "building $name failed; the end of its log:"; tail -20 "$log" >&2; return 1
  fi
  rm -rf "$cache/build/$name"
  touch "$prefix/.built"
  echo "$prefix"
}

# Builds one of Debian's source packages with its own CMake list.
# build_library <package> <name in the cache> <cmake options...>
build_library() {
  local package=$1 name=$2; shift 2
  local version tree
  version=$(source_version "$package")
  if [ -f "$cache/$name-$version/.built" ]; then echo "$cache/$name-$version"; return; fi
  tree=$(fetch_source "$package" "$version") || { say "cannot fetch Debian's source of $package $version"; return 1; }
  cmake_into_cache "$name" "$version" "$tree" "$@"
}

build_sdl2() {
  build_library libsdl2 sdl2 -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_INSTALL=OFF
}
build_libzip() {
  build_library libzip libzip -DBUILD_SHARED_LIBS=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF \
    -DENABLE_WINDOWS_CRYPTO=OFF -DZLIB_LIBRARY="$sysroot/lib/libz.a" -DZLIB_INCLUDE_DIR="$sysroot/include"
}
# STK's release tarball: the version Debian packages for Linux, checked against the sum the vendor
# folder's README gives before anything in it is unpacked.
stk_version=4.6.2
stk_sha256=f973a94a85e0f47e7c2d2c8e26410ad855062f581142250d997dc80c0d3c808d
stk_tarball=${TARNELVOIS_STK_TARBALL:-$root/../shared/vendor/stk-$stk_version.tar.xz}
build_stk() {
  local tree=$cache/src/stk-$stk_version
  if [ -f "$cache/stk-$stk_version/.built" ]; then echo "$cache/stk-$stk_version"; return; fi
  [ -f "$stk_tarball" ] || { say "no STK sources at $stk_tarball (TARNELVOIS_STK_TARBALL names another)"; return 1; }
  if ! echo "$stk_sha256  $stk_tarball" | sha256sum --check --status; then
    say "$stk_tarball: sha256 is not $stk_sha256; refusing to build from it"; return 1
  fi
  if [ ! -f "$tree/.unpacked" ]; then
    rm -rf "$tree" && mkdir -p "$tree"
    tar -xJf "$stk_tarball" -C "$tree" --strip-components=1 && touch "$tree/.unpacked"
  fi
  # Only the synthesis classes the soundtrack uses, with a CMake list of ours (cmake/stk).
  cmake_into_cache stk "$stk_version" "$root/cmake/stk" -DSTK_SOURCE_DIR="$tree"
}
build_googletest() {
  build_library googletest googletest -DBUILD_SHARED_LIBS=OFF -Dgtest_force_shared_crt=ON
}

libraries() {
  ensure_tools
  ensure_sources
  mkdir -p "$cache"
  # SDL2 takes the longest: it builds in the background while the others build in front.
  build_sdl2 >"$cache/.sdl2-prefix" &
  local sdl=$!
  libzip_prefix=$(build_libzip)
  stk_prefix=$(build_stk)
  gtest_prefix=$(build_googletest)
  wait "$sdl"
  sdl_prefix=$(cat "$cache/.sdl2-prefix")
}

libraries
[ "${1:-}" = libraries ] && { say "libraries ready in $cache"; exit 0; }

# The archive's generator runs at build time, so the archive comes from a native build.
native=${TARNELVOIS_BUILD_DIR:-$root/build}
TARNELVOIS_BUILD_DIR=$native TARNELVOIS_BUILD_TARGETS="archive" "$root/scripts/build.sh"

# The compiler's results are kept beside the libraries, so a fresh clone (a CI run) compiles only
# what changed; paths below the clone are hashed relative to it.
export CCACHE_DIR=$cache/ccache CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=2G
say "building the program into $build"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  -DTARNELVOIS_SDL2_PREFIX="$sdl_prefix" -DTARNELVOIS_LIBZIP_PREFIX="$libzip_prefix" \
  -DTARNELVOIS_STK_PREFIX="$stk_prefix" -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" >/dev/null
cmake --build "$build" -j"$jobs"

# What the program needs beside it: SDL2 and the thread library (the C++ runtime is linked in).
cp -f "$sdl_prefix/bin/SDL2.dll" "$sysroot/lib/libwinpthread-1.dll" "$build/"
cp -f "$native/demodat.zip" "$build/demodat.zip"

version=$(sed -n 's/^project(tarnelvois VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
package=tarnelvois-$version-win64
staging=$build/$package
rm -rf "$staging" "$build/$package.zip"
mkdir -p "$staging"
"$triplet-strip" -o "$staging/tarnelvois.exe" "$build/tarnelvois.exe"
for library in SDL2.dll libwinpthread-1.dll; do "$triplet-strip" --strip-unneeded -o "$staging/$library" "$build/$library"; done
cp "$build/demodat.zip" "$staging/"
# The texts as Notepad of any age shows them: CR LF line ends.
for text in README.md:README.txt LICENSE:LICENSE.txt data/windows/CAPTURE.txt:CAPTURE.txt; do
  sed 's/\r*$/\r/' "$root/${text%%:*}" >"$staging/${text##*:}"
done
(cd "$build" && zip -q -r -X "$package.zip" "$package")
rm -rf "$staging"
say "wrote $build/$package.zip"

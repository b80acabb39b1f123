#!/usr/bin/env bash
# Builds the program for the browser (WebAssembly and WebGL through emscripten) into build-web/:
# index.html, tarnelvois.js, tarnelvois.wasm and demodat.zip, to be served by any static server.
# zlib, libzip and STK are built for wasm from Debian's source packages and the vendored STK
# release into a cache outside the clone (${XDG_CACHE_HOME:-~/.cache}/tarnelvois-web), once each.
#   scripts/build-web.sh            libraries, program and page (into build-web/)
#   scripts/build-web.sh libraries  only the libraries
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNELVOIS_WEB_BUILD_DIR:-$root/build-web}
cache=${TARNELVOIS_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnelvois-web}
jobs=${TARNELVOIS_JOBS:-2}
stk_tarball=${TARNELVOIS_STK_TARBALL:-$root/../shared/vendor/stk-4.6.2.tar.xz}
stk_sha256=f973a94a85e0f47e7c2d2c8e26410ad855062f581142250d997dc80c0d3c808d

as_root() { if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi; }
say() { echo "build-web: $*" >&2; }

if ! command -v emcmake >/dev/null || ! command -v em++ >/dev/null; then
  say "emscripten is not installed (apt-get install emscripten)"
  exit 3
fi
# Debian's emscripten runs its JavaScript optimiser with node, which must find Debian's acorn even
# when node itself comes from elsewhere.
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs

. "$root/scripts/debian-sources.sh"

# Configures, builds and installs one CMake project for wasm into the cache.
# cmake_install <name> <prefix> <source dir> <log> <cmake options...>
cmake_install() {
  local name=$1 prefix=$2 list=$3 log=$4; shift 4
  say "building $name for wasm (log: $log)"
  rm -rf "$prefix" "$cache/build/$name"
  if ! { emcmake cmake -S "$list" -B "$cache/build/$name" -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_INSTALL_PREFIX="$prefix" "$@" \
         && cmake --build "$cache/build/$name" -j"$jobs" \
         && cmake --install "$cache/build/$name"; } >"$log" 2>&1; then
    say "building $name failed; the end of its log:"; tail -20 "$log" >&2; return 1
  fi
  rm -rf "$cache/build/$name"
  touch "$prefix/.built"
}

# zlib's own CMake list also wants a Windows resource the Debian source leaves out; its sources
# are few and plain, so they are compiled here.
build_zlib() {
  local version prefix tree log
  version=$(source_version zlib)
  prefix=$cache/zlib-${version#*:}
  log=$prefix.log
  if [ ! -f "$prefix/.built" ]; then
    tree=$(fetch_source zlib "$version") || { say "cannot fetch Debian's source of zlib $version"; return 1; }
    say "building zlib for wasm (log: $log)"
    rm -rf "$prefix" && mkdir -p "$prefix/lib" "$prefix/include" "$cache/build/zlib"
    # zconf.h.in is the plain header that zlib's CMake list would copy to zconf.h.
    cp "$tree/zconf.h.in" "$prefix/include/zconf.h"
    cp "$tree/zlib.h" "$prefix/include/"
    if ! (cd "$cache/build/zlib" && for unit in adler32 compress crc32 deflate infback inffast inflate inftrees \
            trees uncompr zutil; do emcc -O2 -I"$prefix/include" -c "$tree/$unit.c" -o "$unit.o" || exit 1; done \
          && emar rcs "$prefix/lib/libz.a" ./*.o) >"$log" 2>&1; then
      say "building zlib failed; the end of its log:"; tail -20 "$log" >&2; return 1
    fi
    rm -rf "$cache/build/zlib"
    touch "$prefix/.built"
  fi
  echo "$prefix"
}

# CMake's size checks cannot read a wasm object, so wasm32's sizes are given.
build_libzip() {
  local zlib=$1 version prefix tree
  version=$(source_version libzip)
  prefix=$cache/libzip-$version
  if [ ! -f "$prefix/.built" ]; then
    tree=$(fetch_source libzip "$version") || { say "cannot fetch Debian's source of libzip $version"; return 1; }
    cmake_install libzip "$prefix" "$tree" "$prefix.log" -DBUILD_SHARED_LIBS=OFF -DBUILD_TOOLS=OFF \
      -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
      -DENABLE_ZSTD=OFF -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
      -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=OFF \
      -DZLIB_LIBRARY="$zlib/lib/libz.a" -DZLIB_INCLUDE_DIR="$zlib/include" \
      -DHAVE_SIZEOF_OFF_T=TRUE -DSIZEOF_OFF_T=8 -DHAVE_SIZEOF_SIZE_T=TRUE -DSIZEOF_SIZE_T=4
  fi
  echo "$prefix"
}

# STK from the vendored release, checked before it is unpacked; only its synthesis classes.
build_stk() {
  local prefix=$cache/stk-4.6.2 tree=$cache/src/stk-4.6.2
  if [ ! -f "$prefix/.built" ]; then
    [ -f "$stk_tarball" ] || { say "STK's release is missing: $stk_tarball"; return 1; }
    echo "$stk_sha256  $stk_tarball" | sha256sum -c --quiet - >&2 \
      || { say "$stk_tarball does not have the expected sha256; not using it"; return 1; }
    rm -rf "$tree" && mkdir -p "$tree"
    tar -xJf "$stk_tarball" -C "$tree" --strip-components=1
    cmake_install stk "$prefix" "$root/cmake/stk" "$prefix.log" -DSTK_SOURCE_DIR="$tree" -DSTK_SYSTEM=__OS_LINUX__
  fi
  echo "$prefix"
}

libraries() {
  ensure_sources
  mkdir -p "$cache"
  zlib_prefix=$(build_zlib)
  libzip_prefix=$(build_libzip "$zlib_prefix")
  stk_prefix=$(build_stk)
}

libraries
[ "${1:-}" = libraries ] && { say "libraries ready in $cache"; exit 0; }

# The archive's generator runs at build time, so the archive comes from a native build.
native=${TARNELVOIS_BUILD_DIR:-$root/build}
TARNELVOIS_BUILD_DIR=$native TARNELVOIS_BUILD_TARGETS="archive" "$root/scripts/build.sh"

say "building the page into $build"
emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARNELVOIS_TESTS=OFF \
  -DTARNELVOIS_ZLIB_PREFIX="$zlib_prefix" -DTARNELVOIS_LIBZIP_PREFIX="$libzip_prefix" \
  -DTARNELVOIS_STK_PREFIX="$stk_prefix" >/dev/null
cmake --build "$build" -j"$jobs"
cp -f "$native/demodat.zip" "$build/demodat.zip"
say "ready: serve $build (python3 -m http.server -d $build) and open index.html"

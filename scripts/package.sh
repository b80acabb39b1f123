#!/usr/bin/env bash
# Builds the Debian package tarnelvois_<version>_amd64.deb in build-package/ (or in
# $TARNELVOIS_PACKAGE_DIR): the program in /usr/games, built with Debian's hardening flags, its
# archive, menu entry, icons, AppStream entry, manual page and documents under /usr/share.
# Only what the package holds is compiled (no tests). The build folder's and the sources' paths are
# mapped away, so two folders, with one SOURCE_DATE_EPOCH, give the same bytes.
# Install it with: sudo apt install ./build-package/tarnelvois_<version>_amd64.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${TARNELVOIS_PACKAGE_DIR:-$root/build-package}"
build=$(cd "${TARNELVOIS_PACKAGE_DIR:-$root/build-package}" && pwd)
"$root/scripts/setup.sh"
command -v dpkg-buildflags >/dev/null || { echo "package: dpkg-buildflags not found (apt install dpkg-dev)" >&2; exit 1; }

# The package's time stamps: the last commit's time, unless the caller sets one.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH

flags() { (cd "$root" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); }
# dpkg-buildflags maps the folder it runs in (the sources); the build folder is mapped after it, as
# the last matching map wins for a build folder inside the sources.
map="-ffile-prefix-map=$root=. -ffile-prefix-map=$build=build"
cppflags=$(flags CPPFLAGS)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNELVOIS_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    "-DCMAKE_C_FLAGS=$(flags CFLAGS) $cppflags $map" "-DCMAKE_CXX_FLAGS=$(flags CXXFLAGS) $cppflags $map" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(flags LDFLAGS)" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)" --target tarnelvois archive icons documents
rm -f "$build"/tarnelvois_*_amd64.deb
(cd "$build" && cpack -G DEB -B "$build" >/dev/null)
rm -rf "$build/_CPack_Packages"
ls "$build"/tarnelvois_*_amd64.deb

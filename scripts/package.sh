#!/usr/bin/env bash
# Builds the Debian package build/tarnelvois_<version>_amd64.deb (or in $TARNELVOIS_BUILD_DIR):
# the program configured for /usr, its archive, menu entry, icons, manual page and documents.
# Install it with: sudo apt install ./build/tarnelvois_<version>_amd64.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNELVOIS_BUILD_DIR:-$root/build}
TARNELVOIS_BUILD_TARGETS="tarnelvois archive icons" "$root/scripts/build.sh" -DCMAKE_INSTALL_PREFIX=/usr
cd "$build"
cpack -G DEB -B "$build" >/dev/null
rm -rf "$build/_CPack_Packages"
ls "$build"/tarnelvois_*_amd64.deb

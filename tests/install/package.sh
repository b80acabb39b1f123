#!/usr/bin/env bash
# The Debian package as apt would take it: named tarnelvois_<version>_amd64.deb, holding the
# program, its archive, menu entry, icons, manual page and documents under /usr, and depending on
# the libraries the binary links (read from it, not written by hand) and the GL drivers it loads.
#   package.sh BUILD_DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnelvois-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A prefix of /usr as scripts/package.sh sets it; the files' place in the package is what is checked.
(cd "$build" && cpack -G DEB -B "$work" -D CPACK_PACKAGING_INSTALL_PREFIX=/usr >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/tarnelvois_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$work")"

files=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
for file in ./usr/bin/tarnelvois ./usr/share/tarnelvois/demodat.zip ./usr/share/applications/tarnelvois.desktop \
            ./usr/share/icons/hicolor/48x48/apps/tarnelvois.png ./usr/share/icons/hicolor/256x256/apps/tarnelvois.png \
            ./usr/share/man/man6/tarnelvois.6 ./usr/share/doc/tarnelvois/README.md ./usr/share/doc/tarnelvois/LICENSE; do
    grep -qxF "$file" <<<"$files" || fail "$file is not in the package"
done
# Nothing of the build or the tests travels with it.
if grep -E "make_archive|make_icon|_tests|\.a$|/include/" <<<"$files"; then fail "build files in the package"; fi

depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
for package in libsdl2-2.0-0 libzip4 libopengl0 libc6 libstdc++6 libgl1 libegl1 libgl1-mesa-dri libegl-mesa0; do
    grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = ffmpeg ] || fail "ffmpeg is not recommended"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "not amd64"
echo "$(basename "$deb"): $(wc -l <<<"$files") entries; Depends: $depends"

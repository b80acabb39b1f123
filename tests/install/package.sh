#!/usr/bin/env bash
# The Debian package as apt would take it, built by scripts/package.sh into its own folder (kept
# between runs, so only the first run compiles): the program in /usr/games, hardened and stripped,
# finding its archive in /usr/share once unpacked; the menu entry, icons, AppStream entry, the
# compressed manual page and changelog, the copyright file; Depends read from the binary plus the
# GL and EGL libraries SDL opens; and nothing compiled that the package does not hold.
#   package.sh SOURCE_DIR PACKAGE_BUILD_DIR VERSION
set -euo pipefail
source_dir=$1
build=$2
version=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnelvois-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

TARNELVOIS_PACKAGE_DIR=$build "$source_dir/scripts/package.sh" >"$work/package.log" 2>&1 ||
    { cat "$work/package.log"; fail "scripts/package.sh failed"; }
deb=$build/tarnelvois_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$build")"

files=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
expected=(./usr/games/tarnelvois ./usr/share/tarnelvois/demodat.zip ./usr/share/applications/tarnelvois.desktop
          ./usr/share/metainfo/org.example.tarnelvois.metainfo.xml ./usr/share/man/man6/tarnelvois.6.gz
          ./usr/share/doc/tarnelvois/copyright ./usr/share/doc/tarnelvois/changelog.gz
          ./usr/share/doc/tarnelvois/README.md ./usr/share/icons/hicolor/scalable/apps/tarnelvois.svg)
for size in 16 24 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/tarnelvois.png"); done
for file in "${expected[@]}"; do grep -qxF "$file" <<<"$files" || fail "$file is not in the package"; done
# Nothing of the build or the tests travels with it, and no program outside /usr/games.
if grep -E "make_archive|make_icon|_tests|\.a$|/include/|^\./usr/bin/" <<<"$files"; then fail "stray files in the package"; fi
# Nor was anything compiled that it does not hold (cpack used to build every test program first).
for program in render_soundtrack soundtrack_bench timeline_picture host_tests render_tests; do
    [ ! -e "$build/$program" ] || fail "$program was built for the package"
done

dpkg-deb -x "$deb" "$work/root"
# Compressed for man and for dpkg alike: no file name or time in the gzip header (flags and mtime 0).
for file in usr/share/man/man6/tarnelvois.6.gz usr/share/doc/tarnelvois/changelog.gz; do
    header=$(od -An -tx1 -j3 -N5 "$work/root/$file" | tr -d ' \n')
    [ "$header" = 0000000000 ] || fail "$file has a name or a time in its gzip header ($header)"
done
zcat "$work/root/usr/share/doc/tarnelvois/changelog.gz" | head -n 1 | grep -qF "tarnelvois ($version) " ||
    fail "the changelog does not begin with version $version"
grep -qF "<release version=\"$version\"" "$work/root/usr/share/metainfo/org.example.tarnelvois.metainfo.xml" ||
    fail "the AppStream entry's newest release is not $version"

# The program: stripped of symbols and of the compiler's note, linked with BIND_NOW, fortified, and
# holding neither the sources' nor the build folder's path.
program=$work/root/usr/games/tarnelvois
sections=$(readelf -SW "$program")
for section in .comment .symtab .debug_info; do
    ! grep -qF " $section " <<<"$sections" || fail "the program keeps its $section section"
done
readelf -dW "$program" | grep -qE "BIND_NOW|FLAGS_1.*NOW" || fail "the program is not linked with -z now"
symbols=$(readelf --dyn-syms -W "$program")
grep -qF __stack_chk_fail <<<"$symbols" || fail "the program is not built with the stack protector"
grep -qE "__[a-z]+_chk" <<<"$symbols" || fail "the program is not built with _FORTIFY_SOURCE"
for path in "$source_dir" "$build"; do
    ! grep -qaF "$path" "$program" || fail "the program holds the path $path"
done
# Unpacked anywhere, /usr/games/tarnelvois finds the archive in the tree's /usr/share.
(cd "$work" && SDL_VIDEODRIVER=offscreen "$program" --headless --quiet --size 64x48 --fps 10 --end 300 --capture frames) ||
    fail "the packaged program did not run from its unpacked tree"
[ -s "$work/frames/frame-000000.png" ] || fail "the packaged program wrote no frame"

[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "not in section games"
maintainer=$(dpkg-deb -f "$deb" Maintainer)
[[ $maintainer == *@*.* && $maintainer != *@localhost* ]] || fail "no usable contact: $maintainer"
depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
for package in libsdl2-2.0-0 libzip4 libopengl0 libc6 libstdc++6 libgl1 libegl1; do
    grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done
# The Mesa drivers come through libgl1 and libegl1; naming them would pin one vendor.
if grep -E "mesa" <<<"$names"; then fail "Depends names a Mesa driver: $depends"; fi
[ "$(dpkg-deb -f "$deb" Recommends)" = ffmpeg ] || fail "ffmpeg is not recommended"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "not amd64"
echo "$(basename "$deb"): $(wc -l <<<"$files") entries; Depends: $depends"

#!/usr/bin/env bash
# The installed program, as a user meets it: installed into a prefix, run from an unrelated working
# folder it finds its own archive and draws what the build folder's program draws; moved elsewhere
# and called through a symlink, it still finds the archive of its own tree; its menu entry is valid.
#   installed_tree.sh BUILD_DIR INSTALLED_DATA_DIR (the data folder compiled into the program)
set -euo pipefail
build=$(cd "$1" && pwd)
installed_data=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnelvois-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# As the README installs: stripped, so the program carries no symbols or compiler note.
cmake --install "$build" --prefix "$work/prefix" --strip >/dev/null
files=(bin/tarnelvois share/tarnelvois/demodat.zip share/applications/tarnelvois.desktop
       share/metainfo/org.example.tarnelvois.metainfo.xml share/icons/hicolor/scalable/apps/tarnelvois.svg
       share/man/man6/tarnelvois.6.gz share/doc/tarnelvois/README.md share/doc/tarnelvois/copyright
       share/doc/tarnelvois/changelog.gz)
for size in 16 24 32 48 64 128 256; do files+=("share/icons/hicolor/${size}x${size}/apps/tarnelvois.png"); done
for file in "${files[@]}"; do
    [ -s "$work/prefix/$file" ] || fail "$file not installed"
done
for size in 16 24 32 48 64 128 256; do
    file "$work/prefix/share/icons/hicolor/${size}x${size}/apps/tarnelvois.png" | grep -q "$size x $size, 8-bit/color RGBA" ||
        fail "the ${size}x${size} icon is not ${size}x${size} with alpha"
done
sections=$(readelf -SW "$work/prefix/bin/tarnelvois")
for section in .comment .symtab .debug_info; do
    ! grep -qF " $section " <<<"$sections" || fail "the installed program keeps its $section section"
done
desktop-file-validate "$work/prefix/share/applications/tarnelvois.desktop" || fail "desktop entry not valid"

frames=(--headless --quiet --size 64x48 --fps 10 --seed 3 --start 40000 --end 40300)
export SDL_VIDEODRIVER=offscreen
(cd "$build" && ./tarnelvois --data demodat.zip "${frames[@]}" --capture "$work/reference")
mkdir "$work/elsewhere"
compare() {  # folder
    [ "$(ls "$work/$1")" = "$(ls "$work/reference")" ] || fail "$1: other frames than the build's"
    for frame in "$work/reference"/*.png; do cmp -s "$frame" "$work/$1/${frame##*/}" || fail "$1: ${frame##*/} differs"; done
}
(cd "$work/elsewhere" && "$work/prefix/bin/tarnelvois" "${frames[@]}" --capture installed)
compare elsewhere/installed

# Moved, and called through a link in another folder: the link's folder holds no archive.
mv "$work/prefix" "$work/moved"
mkdir "$work/links"
ln -s "$work/moved/bin/tarnelvois" "$work/links/tarnelvois"
(cd "$work/elsewhere" && "$work/links/tarnelvois" "${frames[@]}" --capture moved)
compare elsewhere/moved
# The tree's own archive is the one read, before any installed elsewhere on this machine.
echo "not a zip" >"$work/moved/share/tarnelvois/demodat.zip"
status=0
message=$(cd "$work/elsewhere" && "$work/links/tarnelvois" "${frames[@]}" 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "a broken archive in the moved tree gave status $status"
grep -q "$work/moved/share/tarnelvois/demodat.zip" <<<"$message" || fail "not the moved tree's archive: $message"
# None anywhere: the message names every place looked in, the tree's share folder among them.
rm "$work/moved/share/tarnelvois/demodat.zip"
# (Unless this machine has the program installed: its archive would then be found there.)
if [ ! -f "$installed_data/demodat.zip" ]; then
    status=0
    message=$(cd "$work/elsewhere" && "$work/links/tarnelvois" "${frames[@]}" 2>&1) || status=$?
    [ "$status" -eq 1 ] || fail "a missing archive gave status $status"
    for place in "the working directory ($work/elsewhere)" "$work/moved/bin" "$work/moved/share/tarnelvois" "--data PATH"; do
        grep -qF -- "$place" <<<"$message" || fail "the missing-archive message does not name $place: $message"
    done
    [ "$(wc -l <<<"$message")" -eq 1 ] || fail "more than one line for a missing archive: $message"
fi
echo "installed, moved and linked: the same frames as the build folder's program"

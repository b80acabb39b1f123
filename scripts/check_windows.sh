#!/usr/bin/env bash
# The Windows build checked under Wine and Xvfb: its unit tests (the encoder's process against a
# stand-in encoder among them); a headless capture of the whole demo at one frame a second whose
# frames must match the Linux build's within 2 levels per channel and whose soundtrack.wav must
# match within 1 LSB (the data path and the capture folder given with a drive letter and
# backslashes); and the video path fed to the stand-in encoder, which must receive the same frames
# and sound as the Linux build hands its encoder, and whose failure must be reported with nothing
# left behind.
#   scripts/check_windows.sh    (builds what is missing first: scripts/build-windows.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNELVOIS_WINDOWS_BUILD_DIR:-$root/build-windows}
native=${TARNELVOIS_BUILD_DIR:-$root/build}
cache=${TARNELVOIS_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnelvois-windows}
say() { echo "check-windows: $*" >&2; }

if [ -z "${TARNELVOIS_UNDER_XVFB:-}" ]; then
  "$root/scripts/build-windows.sh"
  TARNELVOIS_BUILD_DIR=$native TARNELVOIS_BUILD_TARGETS="tarnelvois archive compare_captures" "$root/scripts/build.sh"
  exec xvfb-run -a env TARNELVOIS_UNDER_XVFB=1 "$0" "$@"
fi

export WINEPREFIX=${TARNELVOIS_WINEPREFIX:-$cache/wineprefix}
wineserver=/usr/lib/wine/wineserver
work=$(mktemp -d "${TMPDIR:-/tmp}/check-windows.XXXXXX")
# One Wine server for the whole check: each program then starts in a fraction of the time.
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
# Wine's own services start with the first program and live as long as the server: started here,
# with nothing to inherit, so that they hold no test's output open (CTest would wait for it).
"$root/scripts/wine-run.sh" wineboot </dev/null >/dev/null 2>&1 || true
winpath() { local unix; unix=$(realpath -m "$1"); echo "Z:${unix//\//\\}"; }
failures=0
fail() { say "FAIL: $*"; failures=$((failures + 1)); }
timed() { local start=$SECONDS; "$@"; local status=$?; say "  ($((SECONDS - start)) s)"; return $status; }

# The zip as a user gets it, unpacked into a folder whose name has a blank, run from elsewhere:
# the program finds its archive beside itself.
version=$(sed -n 's/^project(tarnelvois VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
unzip -q "$build/tarnelvois-$version-win64.zip" -d "$work/unpacked here"
program="$work/unpacked here/tarnelvois-$version-win64/tarnelvois.exe"
cd "$work"

say "unit tests under Wine"
(cd "$build" && timed ctest --output-on-failure -j2) || fail "unit tests"

say "the unpacked program's --version"
"$root/scripts/wine-run.sh" "$program" --version >"$work/version.txt" || fail "--version"
cat "$work/version.txt" >&2
for library in "SDL 2\." "libzip 1\." "STK 4\.6\.2"; do
  grep -q "^$library" "$work/version.txt" || fail "--version does not name ${library//\\/}"
done

# The whole demo at one frame a second: every effect appears at least once, and the soundtrack
# of the whole piece is written beside the frames.
span=(--headless --size 320x240 --fps 1 --seed 7 --quiet)
say "capturing the demo with the Linux and the Windows build"
"$native/tarnelvois" "${span[@]}" --data "$native/demodat.zip" --capture "$work/linux" || fail "Linux capture"
"$root/scripts/wine-run.sh" "$program" "${span[@]}" --capture "$(winpath "$work/windows")" 2>"$work/windows.log" ||
  { cat "$work/windows.log" >&2; fail "Windows capture"; }
"$native/compare_captures" --levels 2 --lsb 1 "$work/linux" "$work/windows" >&2 ||
  fail "the Windows capture differs from the Linux capture"

# The stand-in takes the frames, then the sound, as the Windows stand-in writes them.
say "video capture through a stand-in encoder"
mkdir -p "$work/bin"
printf '#!/bin/sh\nfor last; do :; done\nexec sh -c "cat; cat <&3" > "${last#file:}"\n' >"$work/bin/ffmpeg"
chmod +x "$work/bin/ffmpeg"
clip=(--headless --size 64x48 --fps 10 --start 0 --end 2000 --seed 7 --quiet)
PATH="$work/bin:$PATH" "$native/tarnelvois" "${clip[@]}" --data "$native/demodat.zip" --capture "$work/linux.mp4" ||
  fail "Linux video capture"
run_windows_video() {
  WINEPATH=$(winpath "$build/stand-in") "$root/scripts/wine-run.sh" "$program" "${clip[@]}" --capture "$(winpath "$1")"
}
run_windows_video "$work/windows.mp4" 2>"$work/video.log" || { cat "$work/video.log" >&2; fail "Windows video capture"; }
cmp -s "$work/linux.mp4" "$work/windows.mp4" ||
  fail "the frames and sound the Windows build encoded differ from the Linux build's"
status=0
TARNELVOIS_STAND_IN_FAIL=1 run_windows_video "$work/broken.mp4" 2>"$work/broken.log" || status=$?
if [ "$status" != 1 ] || ! grep -q "exited with status 3 (stand-in encoder: failing as asked)" "$work/broken.log"; then
  cat "$work/broken.log" >&2
  fail "a failing encoder was not reported (status $status)"
fi
if ls "$work"/broken.mp4* >/dev/null 2>&1 || ls "$work"/windows.mp4.*.part >/dev/null 2>&1; then
  fail "a failed or finished capture left a file behind: $(ls "$work" | tr '\n' ' ')"
fi

[ "$failures" = 0 ] || { say "$failures check(s) failed"; exit 1; }
say "all Windows checks passed"

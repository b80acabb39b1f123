#!/usr/bin/env bash
# The Windows build checked under Wine and Xvfb: its unit tests; a headless PNG capture whose
# frames must equal the Linux build's, byte for byte, for the same span and seed (the data path
# and the capture folder given with a drive letter and backslashes); and the video path fed to a
# stand-in encoder, whose output must equal what the Linux build hands its encoder.
#   scripts/check_windows.sh    (builds what is missing first: scripts/build-windows.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNELVOIS_WINDOWS_BUILD_DIR:-$root/build-windows}
native=${TARNELVOIS_BUILD_DIR:-$root/build}
cache=${TARNELVOIS_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnelvois-windows}
say() { echo "check-windows: $*" >&2; }

if [ -z "${TARNELVOIS_UNDER_XVFB:-}" ]; then
  "$root/scripts/build-windows.sh"
  TARNELVOIS_BUILD_DIR=$native TARNELVOIS_BUILD_TARGETS="tarnelvois archive" "$root/scripts/build.sh"
  exec xvfb-run -a env TARNELVOIS_UNDER_XVFB=1 "$0" "$@"
fi

export WINEPREFIX=${TARNELVOIS_WINEPREFIX:-$cache/wineprefix}
wineserver=/usr/lib/wine/wineserver
work=$(mktemp -d "${TMPDIR:-/tmp}/check-windows.XXXXXX")
# One Wine server for the whole check: each program then starts in a fraction of the time.
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
winpath() { local unix; unix=$(realpath -m "$1"); echo "Z:${unix//\//\\}"; }
failures=0
fail() { say "FAIL: $*"; failures=$((failures + 1)); }

say "unit tests under Wine"
(cd "$build" && ctest --output-on-failure -j2) || fail "unit tests"

# The whole demo at one frame a second: every effect appears at least once.
span=(--headless --size 320x240 --fps 1 --seed 7 --quiet)
say "capturing the demo with the Linux and the Windows build"
"$native/tarnelvois" "${span[@]}" --data "$native/demodat.zip" --capture "$work/linux" || fail "Linux capture"
"$root/scripts/wine-run.sh" "$build/tarnelvois.exe" "${span[@]}" --data "$(winpath "$native/demodat.zip")" \
  --capture "$(winpath "$work/windows")" 2>"$work/windows.log" || { cat "$work/windows.log" >&2; fail "Windows capture"; }
linux_frames=$(find "$work/linux" -name 'frame-*.png' | wc -l)
windows_frames=$(find "$work/windows" -name 'frame-*.png' 2>/dev/null | wc -l)
different=0
for frame in "$work"/linux/frame-*.png; do
  cmp -s "$frame" "$work/windows/$(basename "$frame")" || different=$((different + 1))
done
say "frames: $linux_frames from Linux, $windows_frames from Windows, $different different"
[ "$linux_frames" -gt 0 ] && [ "$linux_frames" = "$windows_frames" ] && [ "$different" = 0 ] ||
  fail "the Windows frames differ from the Linux frames"

say "video capture through a stand-in encoder"
mkdir -p "$work/bin"
printf '#!/bin/sh\nfor last; do :; done\nexec cat > "$last"\n' >"$work/bin/ffmpeg"
chmod +x "$work/bin/ffmpeg"
clip=(--headless --size 64x48 --fps 10 --start 0 --end 2000 --seed 7 --quiet)
PATH="$work/bin:$PATH" "$native/tarnelvois" "${clip[@]}" --data "$native/demodat.zip" --capture "$work/linux.mp4" ||
  fail "Linux video capture"
run_windows_video() {
  WINEPATH=$(winpath "$build/stand-in") "$root/scripts/wine-run.sh" "$build/tarnelvois.exe" "${clip[@]}" \
    --data "$(winpath "$native/demodat.zip")" --capture "$(winpath "$1")"
}
run_windows_video "$work/windows.mp4" 2>"$work/video.log" || { cat "$work/video.log" >&2; fail "Windows video capture"; }
cmp -s "$work/linux.mp4" "$work/windows.mp4" || fail "the frames the Windows build encoded differ from the Linux build's"
status=0
TARNELVOIS_STAND_IN_FAIL=1 run_windows_video "$work/broken.mp4" 2>"$work/broken.log" || status=$?
if [ "$status" = 0 ] || ! grep -q "exited with status 3 (stand-in encoder: failing as asked)" "$work/broken.log"; then
  cat "$work/broken.log" >&2
  fail "a failing encoder was not reported (status $status)"
fi
if ls "$work"/broken.mp4* >/dev/null 2>&1 || ls "$work"/windows.mp4.*.part >/dev/null 2>&1; then
  fail "a failed or finished capture left a file behind: $(ls "$work" | tr '\n' ' ')"
fi

[ "$failures" = 0 ] || { say "$failures check(s) failed"; exit 1; }
say "all Windows checks passed"

#!/usr/bin/env bash
# Measures the remixing tools and prints: the catch-up before --start at a small and a huge size
# (its cost must not depend on the size), a seek back in a window to 30 s, 130 s and 250 s (under
# Xvfb, the Left key pressed through XTest), and the peak memory of one pass against twenty, and
# of one stop/start cycle of the texture-deleting effects against a hundred.
# Usage: bench/remix.sh [BUILD_DIR]   (needs xvfb-run, python3 and libXtst for the seeks)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
program="$build/tarnelvois"
archive="$build/demodat.zip"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -x "$program" ] && [ -f "$archive" ] || { echo "bench: build the tarnelvois and archive targets in $build first" >&2; exit 1; }
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"

# "WALL CPU PEAK_KB" of one headless run.
measure() {
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" env SDL_VIDEODRIVER=offscreen "$program" --data "$archive" \
    --headless --quiet --seed 7 "$@" > /dev/null 2> "$work/err" || { cat "$work/err" >&2; exit 1; }
  awk '{printf "%5.2f s wall %5.2f s cpu %7d KB peak\n", $1, $2 + $3, $4}' "$work/time"
}

echo "== one still at --start 120000 (catch-up plus one frame written), and at --start 0"
for size in 320x240 3840x2160; do
  rm -rf "$work/still"
  echo "$size start 120000: $(measure --size "$size" --start 120000 --end 120000 --capture "$work/still")"
  rm -rf "$work/still"
  echo "$size start      0: $(measure --size "$size" --start 0 --end 0 --capture "$work/still")"
done

echo "== memory over passes (64x48, 2 fps) and restarts (64x48, 10 fps)"
echo "passes  1: $(measure --size 64x48 --fps 2 --passes 1)"
echo "passes 20: $(measure --size 64x48 --fps 2 --passes 20)"
cycles() {  # a timeline that starts and stops the cube, the snow and the stars $1 times
  echo "0 start CONTROL 0"
  for ((i = 0; i < $1; ++i)); do
    echo "$((i * 400)) start CUBE 10"; echo "$((i * 400)) start SNOW 20"; echo "$((i * 400)) start STAR 30"
    echo "$((i * 400 + 200)) stop CUBE"; echo "$((i * 400 + 200)) stop SNOW"; echo "$((i * 400 + 200)) stop STAR"
  done
  echo "40000 end"
}
cycles 1 > "$work/one.txt"
cycles 100 > "$work/hundred.txt"
echo "restarts   1: $(measure --size 64x48 --fps 10 --timeline "$work/one.txt")"
echo "restarts 100: $(measure --size 64x48 --fps 10 --timeline "$work/hundred.txt")"

echo "== seeks back in a 640x480 window (Left pressed 10 s after the target)"
if ! command -v xvfb-run > /dev/null; then echo "skipped: no xvfb-run"; exit 0; fi
cat > "$work/keys.py" << 'PY'
import ctypes, sys, time
x = ctypes.CDLL('libX11.so.6'); t = ctypes.CDLL('libXtst.so.6')
x.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x.XOpenDisplay(None))
t.XTestFakeMotionEvent(display, 0, 512, 384, 0)  # focus follows the pointer without a window manager
for name in sys.argv[1:]:
    time.sleep(4)
    code = x.XKeysymToKeycode(display, ctypes.c_ulong(0xff51 if name == 'Left' else 0xff1b))
    t.XTestFakeKeyEvent(display, code, 1, 0); x.XFlush(display); time.sleep(0.05)
    t.XTestFakeKeyEvent(display, code, 0, 0); x.XFlush(display)
PY
# The piece's timeline with its end moved later, so 250 s can be reached going back.
unzip -p "$archive" timeline.txt | sed 's/^255000 end/300000 end/' > "$work/long.txt"
for target in 30000 130000 250000; do
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "\"$program\" --data \"$archive\" --size 640x480 \
    --timeline \"$work/long.txt\" --start $((target + 10000)) 2> \"$work/seek\" & python3 \"$work/keys.py\" Left Escape; wait"
  grep -m1 replayed "$work/seek" | sed "s/^tarnelvois: /seek back to $((target / 1000)) s: /"
done

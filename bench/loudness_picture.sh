#!/usr/bin/env bash
# Draws the soundtrack's loudness per second (EBU R128 short-term, 3 s) over the piece, with the
# timeline's moments the music marks, into a PNG. Usage: bench/loudness_picture.sh OUT.png [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$1
build=$(cd "${2:-$root/build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/render_soundtrack" --score "$root/data/score.txt" --timeline "$root/data/timeline.txt" --output "$work/piece.wav"
ffmpeg -nostats -hide_banner -i "$work/piece.wav" -af ebur128 -f null - 2>&1 |
  awk '/Parsed_ebur128.*t: /{for(i=1;i<=NF;i++){if($i=="t:")t=$(i+1); if($i=="S:")s=$(i+1)} if (t==int(t)) print t, s}' > "$work/loudness.txt"
# The moments: seconds and what the picture does there.
cat > "$work/moments.txt" << 'MOMENTS'
31 captions, the beat
55 the line, the groove
70.9 light 1 out
73.4 light 2 out
76 light 3 out
81.3 light 4 out
91 breakdown
96 the lattice
124 the rise
142 the airship
161 credits
201 greetings
234 the end picture
MOMENTS
python3 - "$work" << 'PY'
import sys
work = sys.argv[1]
width, height, left, top, bottom = 1400, 420, 60, 30, 360
scale = (width - left - 20) / 255.0
low, high = -40.0, -8.0
def y(lufs): return int(top + (high - max(low, min(high, lufs))) / (high - low) * (bottom - top))
pixels = [[(16, 16, 24)] * width for _ in range(height)]
def put(x, yy, colour):
    if 0 <= x < width and 0 <= yy < height: pixels[yy][x] = colour
for level in range(-40, -7, 4):   # grid every 4 LU; -16, the target, brighter
    for x in range(left, width - 20): put(x, y(level), (90, 90, 60) if level == -16 else (40, 40, 52))
for second in range(0, 256, 10):
    for yy in range(top, bottom): put(left + int(second * scale), yy, (34, 34, 44))
moments = [line.split(' ', 1) for line in open(f"{work}/moments.txt").read().splitlines()]
for at, _ in moments:
    for yy in range(top, bottom + 8): put(left + int(float(at) * scale), yy, (200, 120, 40))
points = [(float(t), float(s)) for t, s in (line.split() for line in open(f"{work}/loudness.txt")) if s != '-inf']
for (t0, s0), (t1, s1) in zip(points, points[1:]):
    x0, x1, y0, y1 = left + int(t0 * scale), left + int(t1 * scale), y(s0), y(s1)
    for x in range(x0, x1 + 1):
        yy = y0 + (y1 - y0) * (x - x0) // max(1, x1 - x0)
        for dy in (-1, 0, 1): put(x, yy + dy, (120, 200, 255))
    for yy in range(min(y0, y1), max(y0, y1) + 1): put(x1, yy, (120, 200, 255))
with open(f"{work}/picture.ppm", "wb") as f:
    f.write(b"P6 %d %d 255\n" % (width, height))
    f.write(bytes(c for row in pixels for pixel in row for c in pixel))
# The labels, for ffmpeg's drawtext: alternate rows so neighbours do not overlap.
filters = []
for i, (at, text) in enumerate(moments):
    x = left + int(float(at) * scale) + 3
    filters.append(f"drawtext=text='{text}':x={x}:y={bottom + 12 + 16 * (i % 3)}:fontsize=12:fontcolor=0xd08030")
for level in range(-40, -7, 8):
    filters.append(f"drawtext=text='{level}':x=20:y={y(level) - 6}:fontsize=12:fontcolor=0x9090a0")
for second in range(0, 256, 30):
    filters.append(f"drawtext=text='{second} s':x={left + int(second * scale) + 2}:y={top - 16}:fontsize=12:fontcolor=0x9090a0")
filters.append("drawtext=text='short-term loudness (LUFS) per second':x=w-300:y=6:fontsize=13:fontcolor=0x78c8ff")
open(f"{work}/labels.txt", "w").write(",".join(filters))
PY
ffmpeg -v error -y -i "$work/picture.ppm" -vf "$(cat "$work/labels.txt")" "$out"
echo "$out: $(ffmpeg -nostats -hide_banner -i "$work/piece.wav" -af ebur128=peak=true -f null - 2>&1 | awk '/I:/{i=$2} /LRA:/{l=$2} /Peak:/{p=$2} END{printf "%s LUFS, LRA %s LU, true peak %s dBTP", i, l, p}')"

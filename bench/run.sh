#!/usr/bin/env bash
# Measures the player on this machine and prints the figures the README quotes: the default video
# (what ./play.sh writes with no display: the 960x720 picture in a 1280x720 frame, 60 fps, mp4;
# wall time and its ratio to the demo's length, CPU time, SSIM against PNG frames, size), --benchmark
# at 1280x720 and 640x480, start-up to the first frame, and peak memory.
# Usage: bench/run.sh [BUILD_DIR]   (default: build; the program and demodat.zip must be built)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
program="$build/tarnelvois"
archive="$build/demodat.zip"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=offscreen

[ -x "$program" ] && [ -f "$archive" ] || { echo "bench: build the tarnelvois and archive targets in $build first" >&2; exit 1; }

# wall seconds, peak resident kilobytes and CPU seconds (the program and ffmpeg) of one run, as
# "SECONDS KB CPU". CPU time tells more than wall time on a machine others are using too.
measure() { /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$@" > "$work/out" 2> "$work/err" &&
  awk '{printf "%s %s %.1f\n", $1, $2, $3 + $4}' "$work/time"; }

echo "== machine"
echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores"
echo "mesa: $(dpkg-query -W -f '${Version}' libgl1-mesa-dri 2>/dev/null || echo unknown) (llvmpipe)"
echo "ffmpeg: $(ffmpeg -version | head -1 | cut -d' ' -f3)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

echo "== start-up to the first frame (a one-frame run, start to exit; best of 5)"
best=""
for _ in 1 2 3 4 5; do
  read -r seconds _ < <(measure "$program" --data "$archive" --headless --quiet --size 1280x720 --end 0)
  best=$(echo "$seconds ${best:-$seconds}" | awk '{print ($1 < $2 ? $1 : $2)}')
done
echo "start-up: $(echo "$best" | awk '{printf "%d ms", $1 * 1000}')"

for size in 1280x720 640x480; do
  echo "== --benchmark, whole demo, $size"
  read -r seconds kb cpu < <(measure "$program" --data "$archive" --benchmark --quiet --size "$size")
  cat "$work/out"
  echo "cpu time: $cpu s"
  echo "peak memory: $((kb / 1024)) MB"
done

echo "== the default video: whole demo, 960x720 in a 1280x720 frame, 60 fps, mp4"
uptime
video="$work/tarnelvois.mp4"
read -r seconds kb cpu < <(measure "$program" --data "$archive" --headless --quiet --seed 1 --size 960x720 \
  --frame 1280x720 --fps 60 --capture "$video")
uptime
length=$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$video")
frames=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets \
  -of default=nw=1:nk=1 "$video")
echo "frames: $frames, video length: ${length} s, file: $(( $(stat -c %s "$video") / 1048576 )) MB"
echo "cpu time (program and ffmpeg): $cpu s, $(echo "$cpu $frames" | awk '{printf "%.1f", 1000 * $1 / $2}') ms a frame"
echo "wall time: $seconds s, ratio to the demo's length: $(echo "$seconds $length" | awk '{printf "%.2f", $1 / $2}')"
echo "peak memory (largest of the program and ffmpeg): $((kb / 1024)) MB"
# Quality: the video's picture (bars cropped off) against lossless PNG frames of the same seed, over
# a calm span and the busiest one (the translucent lattices and the snow).
for span in "30000 32000" "140000 142000"; do
  read -r from to <<< "$span"
  rm -rf "$work/png"
  "$program" --data "$archive" --headless --quiet --seed 1 --size 960x720 --start "$from" --end "$to" \
    --capture "$work/png" > /dev/null
  first=$(ls "$work/png" | head -1 | tr -dc 0-9 | sed 's/^0*//')
  count=$(ls "$work/png" | wc -l)
  ssim=$(ffmpeg -hide_banner -i "$video" -framerate 60 -start_number "$first" -i "$work/png/frame-%06d.png" \
    -lavfi "[0:v]select='between(n,$first,$((first + count - 1)))',setpts=N/TB/60,crop=960:720:160:0[v];\
[1:v]scale=out_color_matrix=bt709:out_range=tv,format=yuv420p[p];[v][p]ssim" -f null - 2>&1 |
    grep -o 'All:[0-9.]*' | cut -d: -f2)
  echo "ssim against PNG frames, $from to $to ms ($count frames): $ssim"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# Compares encoders on the program's own frames: each setting encodes a reference (.y4m, made by
# bench/video.sh or by a capture through bench/reference_ffmpeg.sh) and prints its CPU seconds,
# its rate and its SSIM against the reference, on average and over its worst second.
# Usage: [CROP=W:H:X:Y] bench/encoders.sh REFERENCE.y4m [SETTING...]
#   CROP: the picture inside the frame, so the black bars do not flatter the SSIM (bench/video.sh
#   passes 960:720:160:0 for the default video)
#   a SETTING is "container|ffmpeg options", e.g. "mp4|-c:v libx264 -preset superfast -crf 20"
#   (default: the x264 presets and tunes, x265, SVT-AV1 and VP9 at rates near the share quality's)
set -euo pipefail
reference=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
settings=("$@")
if [ ${#settings[@]} -eq 0 ]; then
  settings=(
    "mp4|-c:v libx264 -preset ultrafast -crf 14"
    "mp4|-c:v libx264 -preset ultrafast -crf 20"
    "mp4|-c:v libx264 -preset superfast -tune ssim -crf 20"
    "mp4|-c:v libx264 -preset superfast -tune ssim -crf 22"
    "mp4|-c:v libx264 -preset veryfast -tune ssim -crf 20"
    "mp4|-c:v libx264 -preset veryfast -tune ssim -crf 22"
    "mp4|-c:v libx264 -preset superfast -crf 20"
    "mp4|-c:v libx264 -preset superfast -tune film -crf 20"
    "mp4|-c:v libx265 -preset ultrafast -crf 24"
    "mp4|-c:v libx265 -preset superfast -crf 24"
    "mkv|-c:v libsvtav1 -preset 12 -crf 35"
    "mkv|-c:v libsvtav1 -preset 10 -crf 35"
    "webm|-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -row-mt 1 -crf 35 -b:v 0"
  )
fi
crop=${CROP:+,crop=$CROP}
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$reference")
rate=$(ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 "$reference" | bc -l)
echo "reference: $reference, $frames frames at $rate fps; load average $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-62s %7s %7s %7s %9s\n' setting "CPU s" "Mb/s" SSIM "worst 1 s"
for setting in "${settings[@]}"; do
  container=${setting%%|*}
  read -r -a options <<< "${setting#*|}"
  out="$work/out.$container"
  /usr/bin/time -f "%U %S" -o "$work/time" ffmpeg -hide_banner -nostdin -loglevel error -i "$reference" \
    "${options[@]}" -y "$out"
  cpu=$(awk '{printf "%.1f", $1 + $2}' "$work/time")
  mbps=$(echo "$(stat -c %s "$out") * 8 * $rate / $frames / 1000000" | bc -l)
  # Both sides numbered by frame, not by timestamp: Matroska's millisecond timestamps would pair
  # frames wrongly.
  ffmpeg -hide_banner -nostdin -loglevel error -i "$out" -i "$reference" -lavfi \
    "[0:v]setpts=N/(60*TB)$crop[a];[1:v]setpts=N/(60*TB)$crop[b];[a][b]ssim=stats_file=$work/ssim" -f null -
  read -r ssim worst < <(awk -v per="$rate" '{ for (i = 1; i <= NF; ++i) if ($i ~ /^All:/) v[n++] = substr($i, 5) }
    END { for (i = 0; i < n; ++i) { s += v[i]; w += v[i]; if (i >= per) w -= v[i - per]
            if (i >= per - 1 && (min == "" || w / per < min)) min = w / per }
          printf "%.4f %.4f\n", s / n, min }' "$work/ssim")
  printf '%-62s %7s %7.1f %7s %9s\n' "$container ${setting#*|}" "$cpu" "$mbps" "$ssim" "$worst"
done

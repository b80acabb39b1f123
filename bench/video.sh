#!/usr/bin/env bash
# Measures each video quality as ./play.sh renders it (the 960x720 picture in a 1280x720 frame,
# 60 fps, mp4 with its sound): wall time and its ratio to the length, CPU seconds of the program
# and of ffmpeg apart, size, the video's rate on average and its peak over every 1-s and 10-s
# stretch against what its declared level allows there, and SSIM (the picture without the bars)
# against the program's own frames kept losslessly: every frame of a span, or one a second of the
# whole piece, with the worst 10-s stretch.
# Usage: bench/video.sh [BUILD_DIR] [span|whole|both] [QUALITY...]
#   span: SPAN=FROM-TO in ms (default 130000-150000, the lattices in the snow, the hardest)
#   extra capture options go in OPTIONS (such as OPTIONS="--crf 18")
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
what=${2:-both}
shift $(($# < 2 ? $# : 2))
qualities=("$@")
[ ${#qualities[@]} -gt 0 ] || qualities=(share master)
program="$build/tarnelvois"
archive="$build/demodat.zip"
span=${SPAN:-130000-150000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=offscreen
[ -x "$program" ] && [ -f "$archive" ] || { echo "bench: build the tarnelvois and archive targets in $build first" >&2; exit 1; }
real_ffmpeg=$(command -v ffmpeg)

# ffmpeg stand-ins: one keeps the reference frames, the other times the real encoder apart from the program.
mkdir -p "$work/keep" "$work/timed"
ln -s "$root/bench/reference_ffmpeg.sh" "$work/keep/ffmpeg"
printf '#!/bin/sh\nexec /usr/bin/time -f "%%U %%S" -o "%s/ffmpeg.time" "%s" "$@"\n' "$work" "$real_ffmpeg" > "$work/timed/ffmpeg"
chmod +x "$work/timed/ffmpeg"
run=(--data "$archive" --headless --quiet --seed 1 --size 960x720 --frame 1280x720 --fps 60)

# The peak bits over stretches of 'seconds' from ffprobe's packets, in Mb/s, and the level's cap
# there (its buffer plus its rate over the stretch; High carries a quarter more).
peak() {
  awk -F, -v s="$1" -v level="$2" -v profile="$3" '
    BEGIN { split("10 1485 64 175 11 3000 192 500 12 6000 384 1000 13 11880 768 2000 20 11880 2000 2000 " \
                  "21 19800 4000 4000 22 20250 4000 4000 30 40500 10000 10000 31 108000 14000 14000 " \
                  "32 216000 20000 20000 40 245760 20000 25000 41 245760 50000 62500 42 522240 50000 62500 " \
                  "50 589824 135000 135000 51 983040 240000 240000 52 2073600 240000 240000", t, " ")
            for (i = 1; i < 64; i += 4) if (t[i] == level) { rate = t[i + 2]; buffer = t[i + 3] }
            factor = profile ~ /^High/ ? 1.25 : 1 }
    { time[n] = $1; bits[n++] = $2 * 8 }
    END { for (a = 0; a < n; ++a) { while (b < n && time[b] < time[a] + s) sum += bits[b++]
            if (sum > best) best = sum; sum -= bits[a] }
          printf "%.1f/%.1f\n", best / s / 1e6, factor * (buffer + rate * s) / s / 1e3 }'
}

measure() {  # LABEL FROM TO KEEP_EVERY QUALITY
  local label=$1 from=$2 to=$3 every=$4 quality=$5 reference="$work/$1.y4m" video="$work/$1-$5.mp4"
  if [ ! -f "$reference" ]; then
    REFERENCE="$reference" KEEP_EVERY=$every REAL_FFMPEG="$real_ffmpeg" PATH="$work/keep:$PATH" \
      "$program" "${run[@]}" --mute --start "$from" --end "$to" --overwrite --capture "$work/ignored.mp4"
  fi
  /usr/bin/time -f "%e %U %S" -o "$work/all.time" env PATH="$work/timed:$PATH" \
    "$program" "${run[@]}" --start "$from" --end "$to" --capture "$video" --quality "$quality" ${OPTIONS:-}
  read -r wall user system < "$work/all.time"
  read -r encoder_user encoder_system < "$work/ffmpeg.time"
  local encoder program_cpu length bytes video_bits profile level
  encoder=$(echo "$encoder_user + $encoder_system" | bc)
  program_cpu=$(echo "$user + $system - $encoder" | bc)
  length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$video")
  bytes=$(stat -c %s "$video")
  ffprobe -v error -select_streams v:0 -show_entries packet=dts_time,size -of csv=p=0 "$video" | sort -t, -k1,1g > "$work/packets"
  video_bits=$(awk -F, '{ s += $2 * 8 } END { printf "%.0f", s }' "$work/packets")
  IFS=, read -r profile level < <(ffprobe -v error -select_streams v:0 -show_entries stream=profile,level -of csv=p=0 "$video")
  # Every kept reference frame is frame KEEP_EVERY*k of the span; pair them by number.
  "$real_ffmpeg" -hide_banner -nostdin -loglevel error -i "$video" -i "$reference" -lavfi \
    "[0:v]select='not(mod(n,$every))',setpts=N/(60*TB),crop=960:720:160:0[a];\
[1:v]setpts=N/(60*TB),crop=960:720:160:0[b];[a][b]ssim=stats_file=$work/ssim" -f null -
  read -r ssim worst < <(awk -v per=$((600 / every)) '{ for (i = 1; i <= NF; ++i) if ($i ~ /^All:/) v[n++] = substr($i, 5) }
    END { for (i = 0; i < n; ++i) { s += v[i]; w += v[i]; if (i >= per) w -= v[i - per]
            if (i >= per - 1 && (min == "" || w / per < min)) min = w / per }
          if (min == "") min = s / n
          printf "%.4f %.4f\n", s / n, min }' "$work/ssim")
  printf '%-7s %-7s %6.1f %5.2fx %7.1f %7.1f %6.1f %6.1f %12s %12s %-12s %6s %6s\n' "$label" "$quality" "$wall" \
    "$(echo "$wall / $length" | bc -l)" "$program_cpu" "$encoder" "$(echo "$bytes / 1000000" | bc -l)" \
    "$(echo "$video_bits / $length / 1000000" | bc -l)" "$(peak 1 "$level" "$profile" < "$work/packets")" \
    "$(peak 10 "$level" "$profile" < "$work/packets")" "${profile/Constrained /C}@$level" "$ssim" "$worst"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores; ffmpeg $("$real_ffmpeg" -version | head -1 | cut -d' ' -f3)"
printf '%-7s %-7s %6s %6s %7s %7s %6s %6s %12s %12s %-12s %6s %6s\n' span quality "wall s" "x len" "prog s" "ffmpeg s" \
  MB "Mb/s" "1s peak/cap" "10s peak/cap" profile SSIM "worst10s"
for quality in "${qualities[@]}"; do
  if [ "$what" != whole ]; then measure "${span%-*}-${span#*-}" "${span%-*}" "${span#*-}" 1 "$quality"; fi
  if [ "$what" != span ]; then measure whole 0 300000 60 "$quality"; fi
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# The whole piece at a glance: renders the moments where something changes (read from the
# timeline: a little after each start and stop) into one grid picture with the time under each,
# and draws the timeline as lanes beside it.
#
#   scripts/contact_sheet.sh [build] [out.png]
#   (defaults: build docs/contact-sheet.png; the lanes go to timeline.png beside out.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/docs/contact-sheet.png}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
timeline=$root/data/timeline.txt
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
columns=6 rows=4 size=320x240 fps=4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Hook for the music's lane: prints "<from ms> <to ms> <name>" per section of the soundtrack.
# The score (data/score.txt) is not in this tree yet; when it is, read its sections here.
music_sections() {
    :
}

# Each start and stop, 2.5 s on (an effect fades in; a stop shows what is left), on the frame
# grid, with the moments the effects keep to the piece's clock themselves (the first light going
# out, the cubes' fade, the scroller's second text); moments closer than 4 s to the one before are
# dropped, then as many as the grid holds are taken evenly from the rest.
effect_moments="71500 92000 203000"
end=$(awk '$2 == "end" { print $1 }' "$timeline")
{ awk '$1 ~ /^[0-9]+$/ && ($2 == "start" || $2 == "stop") { print $1 + 2500 }' "$timeline"
  printf '%s\n' $effect_moments; } | sort -n | awk -v end="$end" -v step=$((1000 / fps)) '
    { t = $1 - $1 % step; if (t < end && (n == 0 || t - last >= 4000)) { moments[n++] = t; last = t } }
    END { for (i = 0; i < n; ++i) print moments[i] }' > "$work/all"
count=$((columns * rows))
awk -v want="$count" '{ m[NR] = $1 } END {
    if (NR <= want) { for (i = 1; i <= NR; ++i) print m[i]; exit }
    for (i = 0; i < want; ++i) print m[1 + int(i * (NR - 1) / (want - 1) + 0.5)] }' "$work/all" > "$work/moments"

(cd "$build" && ./tarnelvois --headless --quiet --seed 1 --size "$size" --fps "$fps" --capture "$work/frames/")
index=0
while read -r ms; do
    frame=$(printf '%s/frames/frame-%06d.png' "$work" $((ms * fps / 1000)))
    label=$(awk -v ms="$ms" 'BEGIN { printf "%d\\:%04.1f  (%.1f s)", int(ms / 60000), (ms % 60000) / 1000, ms / 1000 }')
    ffmpeg -nostdin -v error -y -i "$frame" -vf "pad=iw+4:ih+26:2:2:0x202028,drawtext=fontfile=$font:text='$label':fontcolor=white:fontsize=15:x=(w-tw)/2:y=h-21" \
        "$(printf '%s/cell-%02d.png' "$work" "$index")"
    index=$((index + 1))
done < "$work/moments"
ffmpeg -v error -y -i "$work/cell-%02d.png" -vf "tile=${columns}x${rows}:color=0x202028" -frames:v 1 "$work/sheet.png"
mv "$work/sheet.png" "$out"
echo "contact sheet: $out ($index moments)"

sections=()
music_sections > "$work/sections"
[ -s "$work/sections" ] && sections=(--sections "$work/sections")
"$build/timeline_picture" --timeline "$timeline" --output "$(dirname "$out")/timeline.png" "${sections[@]}"
echo "timeline: $(dirname "$out")/timeline.png"

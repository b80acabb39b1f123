#!/usr/bin/env bash
# Finds the stretches of the piece where the screen is (near) black: renders the whole demo small
# and at a low frame rate and measures in each frame the share of pixels that are plainly lit
# (grey level above 32 of 255). A frame with fewer than the threshold per mille lit counts as
# dark; every run of dark frames longer than the given seconds is printed.
#
#   scripts/dark_stretches.sh [build] [per-mille] [seconds] [WxH] [fps]
#   (defaults: build 2 3 160x120 4; DARK_PROFILE=FILE also writes "time_ms lit-per-mille" per frame;
#   DARK_TIMELINE=FILE plays that timeline instead of the archive's)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
threshold=${2:-2}
longest=${3:-3}
size=${4:-160x120}
fps=${5:-4}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

timeline=()
[ -n "${DARK_TIMELINE:-}" ] && timeline=(--timeline "$(cd "$(dirname "$DARK_TIMELINE")" && pwd)/$(basename "$DARK_TIMELINE")")
(cd "$build" && ./tarnelvois --headless --quiet --seed 1 --size "$size" --fps "$fps" "${timeline[@]}" \
    --capture "$work/frames/")
# Lit pixels become 255, the rest 0; the frame's mean level is then the lit share times 255.
ffmpeg -v error -framerate "$fps" -i "$work/frames/frame-%06d.png" \
    -vf "format=gray,lut=y='if(gt(val,32),255,0)',signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=-" \
    -f null - | awk -v fps="$fps" -F= '/YAVG/ { printf "%d %.2f\n", n++ * 1000 / fps, $2 * 1000 / 255 }' > "$work/levels"
[ -n "${DARK_PROFILE:-}" ] && cp "$work/levels" "$DARK_PROFILE"
awk -v threshold="$threshold" -v longest="$longest" -v fps="$fps" '
    function report(to) {
        if (from >= 0 && (to - from) / 1000 > longest)
            printf "dark %.2f s to %.2f s (%.2f s)\n", from / 1000, to / 1000, (to - from) / 1000
        from = -1
    }
    BEGIN { from = -1 }
    { if ($2 < threshold) { if (from < 0) from = $1 } else report($1); last = $1 }
    END { report(last + 1000 / fps) }' "$work/levels"

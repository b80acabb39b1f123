#!/usr/bin/env bash
# Checks that a run is a function of its seed: the whole demo captured twice with one --seed gives
# byte-identical frames, and a run started part-way (--start T) gives the same frames as the
# straight run from T on, for a moment inside each part of the piece.
#
#   scripts/check_reproducible.sh [build folder] [WxH] [fps] [seed]
#   defaults:                      build          160x120 30  7
#
# Prints one line per comparison and exits 1 when any frame differs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
size=${2:-160x120}
fps=${3:-30}
seed=${4:-7}
# Cubes, spotlights, snow running down, the scroller's switch of text.
starts=(40000 75000 140000 201000)
span=3000

program=$build/tarnelvois
archive=$build/demodat.zip
[ -x "$program" ] && [ -f "$archive" ] || { echo "build tarnelvois and archive in $build first" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnelvois-reproducible-XXXXXX")
trap 'rm -rf "$work"' EXIT

capture() {  # folder, extra options...
    local folder=$1
    shift
    SDL_VIDEODRIVER=offscreen "$program" --data "$archive" --headless --quiet --size "$size" --fps "$fps" \
        --seed "$seed" --capture "$work/$folder" "$@"
}

# Compares every frame of folder $2 with the frame of the same name in $1; prints a summary line.
compare() {
    local reference=$1 other=$2 label=$3 count=0 differ=0 missing=0 first=""
    for frame in "$work/$other"/frame-*.png; do
        name=${frame##*/}
        count=$((count + 1))
        if [ ! -f "$work/$reference/$name" ]; then
            missing=$((missing + 1))
        elif ! cmp -s "$frame" "$work/$reference/$name"; then
            differ=$((differ + 1))
            [ -n "$first" ] || first=$name
        fi
    done
    if [ "$count" -gt 0 ] && [ "$differ" -eq 0 ] && [ "$missing" -eq 0 ]; then
        echo "same    $label: $count frames identical"
    else
        echo "DIFFER  $label: $count frames, $differ differ${first:+ (first $first)}, $missing missing in $reference"
        failed=1
    fi
}

failed=0
started=$SECONDS
capture straight
capture again
echo "captured the whole demo twice at $size, $fps fps, seed $seed: $(ls "$work/straight" | wc -l) frames each ($((SECONDS - started)) s)"
compare straight again "whole demo, second run"
for start in "${starts[@]}"; do
    capture "from-$start" --start "$start" --end $((start + span))
    compare straight "from-$start" "--start $start (to $((start + span)) ms)"
done
exit $failed

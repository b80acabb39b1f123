#!/usr/bin/env bash
# Prints the soundtrack's cost: CPU seconds to synthesize the whole piece on one core, and the
# warm-up of a jump; then the same for the worst scores the parser accepts: every voice busy with
# the costliest instrument under the loudest gains, and 100000 play lines on one instrument.
# Usage: bench/soundtrack.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
[ -x "$build/soundtrack_bench" ] || { echo "bench: build the soundtrack_bench target in $build first" >&2; exit 1; }
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/soundtrack_bench" "$root/data/score.txt" "$root/data/timeline.txt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Chords of more notes than the voice limit, as fast as a pattern may go at the fastest tempo,
# on detuned saws (two band-limited oscillators and a swept filter a voice), as loud as allowed;
# as many of them as the note limit lets through, then held chords to the end.
chord=$(for octave in 1 2 3 4 5 6; do for note in C D E F G A B; do printf '%s%s+' $note $octave; done; done)
chord=${chord%+}
{
  echo "tempo 300"; echo "master gain=24"; echo "reverb time=2.5"; echo "echo beats=0.25 feedback=0.7"
  echo "instrument a saw detune=100 cutoff=20000 q=20 envelope=8 sustain=1 release=10 gain=24 reverb=1 echo=1"
  echo "instrument b saw detune=100 cutoff=20000 q=20 envelope=8 sustain=1 release=10 gain=24 reverb=1 echo=1"
  echo "pattern fast step=1/64"; echo "  $chord"
  echo "pattern held step=8"; echo "  $chord"
  echo "play fast on a from bar:0 to bar:25 gain=24"
  echo "play held on b from bar:25 to end-80 gain=24"
} > "$work/worst.txt"
echo "== the worst accepted score"
"$build/soundtrack_bench" "$work/worst.txt" "$root/data/timeline.txt" | grep -v '^warning'
{
  echo "instrument k kick"; echo "pattern p step=1/64"; echo "  x"
  # Each 0.005 beats long, side by side, over 250 s.
  for ((i = 0; i < 100000; ++i)); do
    echo "play p on k from bar:0+$((i * 5 / 1000)).$(printf %03d $((i * 5 % 1000))) to bar:0+$(((i + 1) * 5 / 1000)).$(printf %03d $(((i + 1) * 5 % 1000)))"
  done
} > "$work/plays.txt"
echo "== 100000 play lines on one instrument"
"$build/soundtrack_bench" "$work/plays.txt" "$root/data/timeline.txt" | grep -E '^(parse|notes)'

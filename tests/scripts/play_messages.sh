#!/usr/bin/env bash
# play.sh with no display says it renders the demo to tarnelvois.mp4 only when it does; help, the
# version, a bad option, the user's own capture or a benchmark go to the program untouched. A
# stand-in program records how it was called, and a stand-in build does nothing.
#   play_messages.sh SOURCE_DIR
set -euo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnelvois-play-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/build"
cp "$1/play.sh" "$work/"
printf '#!/bin/sh\n' >"$work/scripts/build.sh"
cat >"$work/build/tarnelvois" <<'PROGRAM'
#!/bin/sh
for argument in "$@"; do [ "$argument" = --frobnicate ] && { echo "tarnelvois: unknown option" >&2; exit 2; }; done
echo "ran: $*"
PROGRAM
chmod +x "$work/scripts/build.sh" "$work/build/tarnelvois"
failed=0
expect() {  # announce|quiet, expected call, arguments...
    local announce=$1 call=$2
    shift 2
    local output
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/play.sh" "$@" 2>&1) || true
    local said=quiet
    grep -q "rendering the demo to $work/tarnelvois.mp4" <<<"$output" && said=announce
    if [ "$said" != "$announce" ] || ! grep -qxF -- "$call" <<<"$output"; then
        echo "FAIL: play.sh $*: expected $announce and '$call', got: $output" >&2
        failed=1
    fi
}
expect announce "ran: --headless --size 960x720 --frame 1280x720 --capture $work/tarnelvois.mp4 --seed 3" --seed 3
expect quiet "ran: --help" --help
expect quiet "ran: --seed 3 -h" --seed 3 -h
expect quiet "ran: --version" --version
expect quiet "ran: --end 100 --capture=mine.mkv" --end 100 --capture=mine.mkv
expect quiet "ran: --capture frames/" --capture frames/
expect quiet "ran: --benchmark" --benchmark
expect quiet "tarnelvois: unknown option" --frobnicate
exit $failed

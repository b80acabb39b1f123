#!/usr/bin/env bash
# play.sh with no display says it renders the demo to tarnelvois.mp4 only when it does; help, the
# version, a bad option, the user's own capture or a benchmark go to the program untouched. The
# earlier video gives way only to a finished one: a run the program refuses leaves it in place. A
# stand-in program records how it was called (and, like the real one, makes its video appear only
# when it is done), and a stand-in build does nothing.
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
case " $* " in *" --version "*) exit 0 ;; esac  # the dry parse: the options alone
case " $* " in *" --timeline broken.txt "*) echo "tarnelvois: broken.txt:1: no end line" >&2; exit 1 ;; esac
capture=
while [ $# -gt 0 ]; do [ "$1" = --capture ] && capture=$2; shift; done
[ -n "$capture" ] && echo "new video" >"$capture"
exit 0
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
rendering="--headless --size 960x720 --frame 1280x720 --capture $work/tarnelvois.rendering.mp4"
expect announce "ran: $rendering --seed 3" --seed 3
expect quiet "ran: --help" --help
expect quiet "ran: --seed 3 -h" --seed 3 -h
expect quiet "ran: --version" --version
expect quiet "ran: --end 100 --capture=mine.mkv" --end 100 --capture=mine.mkv
expect quiet "ran: --capture frames/" --capture frames/
expect quiet "ran: --benchmark" --benchmark
expect quiet "tarnelvois: unknown option" --frobnicate

video_is() {  # what, tarnelvois.mp4's text, tarnelvois.previous.mp4's text (- for none)
    local what=$1 video=$2 previous=$3 got_video=- got_previous=-
    [ -e "$work/tarnelvois.mp4" ] && got_video=$(cat "$work/tarnelvois.mp4")
    [ -e "$work/tarnelvois.previous.mp4" ] && got_previous=$(cat "$work/tarnelvois.previous.mp4")
    if [ "$got_video" != "$video" ] || [ "$got_previous" != "$previous" ] || [ -e "$work/tarnelvois.rendering.mp4" ]; then
        echo "FAIL: $what: expected '$video' and previous '$previous', got '$got_video' and '$got_previous'" >&2
        failed=1
    fi
}
rm -f "$work"/tarnelvois*.mp4
echo "old video" >"$work/tarnelvois.mp4"
expect announce "ran: $rendering --timeline broken.txt" --timeline broken.txt
video_is "a refused run" "old video" -
expect announce "ran: $rendering --seed 4" --seed 4
video_is "a finished run" "new video" "old video"
exit $failed

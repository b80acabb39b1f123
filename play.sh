#!/usr/bin/env bash
# Builds the demo and plays it: in a window where there is a display, otherwise rendered to
# tarnelvois.mp4: the 4:3 picture at 960x720 in a 1280x720 frame, 60 frames per second. Extra arguments go to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
TARNELVOIS_BUILD_TARGETS="tarnelvois archive" "$root/scripts/build.sh"
cd "$root"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/tarnelvois "$@"
fi
# Only a plain run becomes a video: asking for help or the version, naming an output or a benchmark,
# or a mistake in the options (found by a dry parse, which --version stops before any work) go to
# the program as they are, and it answers for itself.
for argument in "$@"; do
  case $argument in
    -h | --help | --version | --capture | --capture=* | --benchmark) exec build/tarnelvois "$@" ;;
  esac
done
build/tarnelvois "$@" --version >/dev/null 2>&1 || exec build/tarnelvois "$@"
video=$root/tarnelvois.mp4
# An earlier render is kept, once, beside the new one.
if [ -e "$video" ]; then
  mv -f "$video" "$root/tarnelvois.previous.mp4"
  echo "The earlier tarnelvois.mp4 is now $root/tarnelvois.previous.mp4." >&2
fi
echo "No display here: rendering the demo to $video instead." >&2
exec build/tarnelvois --headless --size 960x720 --frame 1280x720 --capture "$video" "$@"

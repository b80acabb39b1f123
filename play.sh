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
previous=$root/tarnelvois.previous.mp4
# The program writes under another name and the video appears there only when it is complete, so a
# run it refuses (a broken timeline, a missing archive) or one stopped half-way leaves the earlier
# tarnelvois.mp4 where it was. A finished one takes its place, and the earlier is kept, once,
# beside it.
rendering=$root/tarnelvois.rendering.mp4
rm -f "$rendering"
echo "No display here: rendering the demo to $video instead." >&2
status=0
trap : INT  # Ctrl+C is the program's to answer; whatever it finished is still put in place
build/tarnelvois --headless --size 960x720 --frame 1280x720 --capture "$rendering" "$@" || status=$?
if [ -e "$rendering" ]; then
  if [ -e "$video" ]; then
    mv -f "$video" "$previous"
    echo "The earlier tarnelvois.mp4 is now $previous." >&2
  fi
  mv -f "$rendering" "$video"
  echo "The demo is in $video." >&2
elif [ -e "$video" ]; then
  echo "Nothing was rendered; $video is still the earlier video." >&2
fi
exit "$status"

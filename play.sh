#!/usr/bin/env bash
# Builds the demo and plays it: in a window where there is a display, otherwise rendered to
# tarnelvois.mp4 at 1280x720, 60 frames per second. Extra arguments go to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
TARNELVOIS_BUILD_TARGETS="tarnelvois archive" "$root/scripts/build.sh"
cd "$root"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/tarnelvois "$@"
fi
video=$root/tarnelvois.mp4
# An earlier render is kept, once, beside the new one; only when this run renders there.
renders=1
for argument in "$@"; do
  case $argument in --capture|--capture=*|--help|-h|--version|--benchmark) renders=0 ;; esac
done
if [ "$renders" = 1 ] && [ -e "$video" ]; then
  mv -f "$video" "$root/tarnelvois.previous.mp4"
  echo "The earlier tarnelvois.mp4 is now $root/tarnelvois.previous.mp4." >&2
fi
echo "No display here: rendering the demo to $video instead." >&2
exec build/tarnelvois --headless --size 1280x720 --capture "$video" "$@"

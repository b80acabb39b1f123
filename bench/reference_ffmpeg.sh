#!/usr/bin/env bash
# Stands in for ffmpeg on PATH during a capture (--mute) and keeps the frames the program hands it,
# converted and framed exactly as the program's own command converts them, losslessly, as the
# yardstick for an encode: every $KEEP_EVERY-th frame (default every one) into $REFERENCE (.y4m).
# The encoding options are ignored; nothing is written under the capture's own name.
set -euo pipefail
size="" rate="" filter=""
while [ $# -gt 0 ]; do
  case $1 in
    -video_size) size=$2; shift ;;
    -framerate) rate=$2; shift ;;
    -vf) filter=$2; shift ;;
  esac
  shift
done
[ -n "$size" ] && [ -n "$rate" ] && [ -n "$filter" ] && [ -n "${REFERENCE:-}" ] || {
  echo "reference_ffmpeg: not a capture's command, or REFERENCE is not set" >&2; exit 1; }
exec "${REAL_FFMPEG:-/usr/bin/ffmpeg}" -hide_banner -nostdin -loglevel error -f rawvideo -pix_fmt bgr24 \
  -video_size "$size" -framerate "$rate" -i pipe:0 \
  -vf "$filter,select='not(mod(n,${KEEP_EVERY:-1}))'" -fps_mode passthrough -f yuv4mpegpipe -strict -1 -y "$REFERENCE"

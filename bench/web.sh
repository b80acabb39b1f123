#!/usr/bin/env bash
# The browser build's figures beside the native build's: bench/web.sh [START_MS] [SECONDS]
# (scripts/build-web.sh and a native build first).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec python3 "$root/bench/web_bench.py" "${TARNELVOIS_BUILD_DIR:-$root/build}" \
  "${TARNELVOIS_WEB_BUILD_DIR:-$root/build-web}" "$@"

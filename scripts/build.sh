#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/ (or $TARNELVOIS_BUILD_DIR);
# $TARNELVOIS_BUILD_TARGETS limits the build to some targets (default: everything).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNELVOIS_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
targets=()
for target in ${TARNELVOIS_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"

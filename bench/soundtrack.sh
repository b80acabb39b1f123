#!/usr/bin/env bash
# Prints the soundtrack's cost: CPU seconds to synthesize the whole piece on one core, and the
# warm-up of a jump. Usage: bench/soundtrack.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
[ -x "$build/soundtrack_bench" ] || { echo "bench: build the soundtrack_bench target in $build first" >&2; exit 1; }
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/soundtrack_bench" "$root/data/score.txt" "$root/data/timeline.txt"

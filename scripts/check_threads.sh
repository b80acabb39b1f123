#!/usr/bin/env bash
# Builds with ThreadSanitizer in build-tsan (or $1) and runs what has threads of its own: the sound
# tests (the window's worker and device callback through SDL's disk driver, the captures' feeding
# threads), a short video capture with sound, and a short playback in a window on a virtual
# display with the disk driver. Any report fails the check.
#   scripts/check_threads.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-tsan}

cmake -S "$root" -B "$build" -DTARNELVOIS_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target render_tests tarnelvois archive >/dev/null

# Reports end the program with status 66, so a test or a run that met one fails.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$root/tests/tsan.supp"
export SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1
if ! "$build/tests/render_tests" --gtest_brief=1 --gtest_filter='CaptureSound.*:WindowSound.*:WindowProgram.*:VideoCapture.*' \
        >"$build/threads-tests.log" 2>&1; then
    cat "$build/threads-tests.log"
    echo "threads: sound tests FAILED"
    exit 1
fi
echo "threads: sound tests clean"

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnelvois-tsan-XXXXXX")
trap 'rm -rf "$work"' EXIT
if ! "$build/tarnelvois" --data "$build/demodat.zip" --headless --quiet --seed 1 --size 64x48 --start 33000 --end 35000 \
        --capture "$work/capture.mp4" >"$build/threads-capture.log" 2>&1; then
    cat "$build/threads-capture.log"
    echo "threads: capture with sound FAILED"
    exit 1
fi
echo "threads: capture with sound clean"

if command -v xvfb-run >/dev/null; then
    if ! env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/played.raw" xvfb-run -a \
            "$build/tarnelvois" --data "$build/demodat.zip" --size 64x48 --start 60000 --end 62000 \
            >"$build/threads-window.log" 2>&1; then
        cat "$build/threads-window.log"
        echo "threads: playback in a window FAILED"
        exit 1
    fi
    echo "threads: playback in a window with sound clean ($(($(stat -c %s "$work/played.raw") / 192)) ms played)"
else
    echo "threads: xvfb-run missing, playback in a window not checked"
fi

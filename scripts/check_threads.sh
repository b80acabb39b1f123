#!/usr/bin/env bash
# Builds with ThreadSanitizer in build-tsan (or $1) and runs what has threads of its own: the sound
# tests (the window's worker and device callback through SDL's disk driver, the captures' feeding
# threads), a short video capture with sound, and a short playback in a window on a virtual
# display with the disk driver. Every process writes its reports into one folder; any report
# fails the check. (The tests' own timing checks may fail under the sanitizer's slowness on a busy
# machine; they are judged by ./test.sh, this check by the reports.)
#   scripts/check_threads.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-tsan}

cmake -S "$root" -B "$build" -DTARNELVOIS_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target render_tests tarnelvois archive >/dev/null

reports="$build/tsan-reports"
rm -rf "$reports" && mkdir -p "$reports"
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnelvois-tsan-XXXXXX")
trap 'rm -rf "$work"' EXIT
export TSAN_OPTIONS="log_path=$reports/report suppressions=$root/tests/tsan.supp"
export SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1

clean() {
    if compgen -G "$reports/report*" >/dev/null; then
        cat "$reports"/report*
        echo "threads: $1: ThreadSanitizer reports above"
        exit 1
    fi
    echo "threads: $1 clean"
}

"$build/tests/render_tests" --gtest_brief=1 --gtest_filter='CaptureSound.*:WindowSound.*:WindowProgram.*:VideoCapture.*' \
    >"$build/threads-tests.log" 2>&1 || grep '^\[  FAILED' "$build/threads-tests.log" || true
clean "sound and capture tests"

if ! "$build/tarnelvois" --data "$build/demodat.zip" --headless --quiet --seed 1 --size 64x48 --start 33000 --end 35000 \
        --capture "$work/capture.mp4" >"$build/threads-capture.log" 2>&1; then
    cat "$build/threads-capture.log"
    echo "threads: capture with sound FAILED"
    exit 1
fi
clean "capture with sound"

if command -v xvfb-run >/dev/null; then
    if ! env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/played.raw" xvfb-run -a \
            "$build/tarnelvois" --data "$build/demodat.zip" --size 64x48 --start 60000 --end 62000 \
            >"$build/threads-window.log" 2>&1; then
        cat "$build/threads-window.log"
        echo "threads: playback in a window FAILED"
        exit 1
    fi
    clean "playback in a window with sound ($(($(stat -c %s "$work/played.raw") / 192)) ms written by the device)"
else
    echo "threads: xvfb-run missing, playback in a window not checked"
fi

#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan (or $1), runs the unit
# tests, then a short headless capture with LeakSanitizer watching. The only leaks forgiven are the
# GL driver's and SDL's own, listed in tests/lsan.supp.
#   scripts/check_sanitizers.sh [build folder] [capture options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-asan}
shift || true
capture_options=("$@")
[ ${#capture_options[@]} -gt 0 ] || capture_options=(--size 64x48 --fps 10 --start 40000 --end 43000)

cmake -S "$root" -B "$build" -DTARNELVOIS_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target effect_tests host_tests platform_tests capture_tests app_tests startup_tests tools_tests tarnelvois archive >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
for tests in effect_tests host_tests platform_tests capture_tests app_tests startup_tests tools_tests; do
    "$build/tests/$tests" --gtest_brief=1 >"$build/$tests.log" 2>&1 || { cat "$build/$tests.log"; echo "sanitizers: $tests FAILED"; exit 1; }
    echo "sanitizers: $tests passed"
done

# The GL driver is loaded and dropped by the program; preloaded, it stays mapped to the end, so what
# it still holds is reachable and any leak report can name its frames.
preload=$(ldd "$build/tarnelvois" | awk '/libasan/ { print $3 }')
for library in /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so /usr/lib/x86_64-linux-gnu/libEGL_mesa.so.0; do
    [ -f "$library" ] && preload="$preload $library"
done

frames=$(mktemp -d "${TMPDIR:-/tmp}/tarnelvois-asan-XXXXXX")
trap 'rm -rf "$frames"' EXIT
if ! LD_PRELOAD="$preload" SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 "$build/tarnelvois" --data "$build/demodat.zip" --headless --quiet --seed 1 \
        "${capture_options[@]}" --capture "$frames/frames" >"$build/capture.log" 2>&1; then
    cat "$build/capture.log"
    echo "sanitizers: headless capture FAILED"
    exit 1
fi
echo "sanitizers: headless capture ${capture_options[*]} clean ($(ls "$frames/frames" | wc -l) frames)"

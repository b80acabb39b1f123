#!/usr/bin/env python3
"""The page's synthesizer against the native one: a span of the soundtrack rendered by the page
(build-web, in headless Chromium) and by render_soundtrack from the same score and timeline; the
difference must stay 60 dB below the signal. Exits 77 (skipped) when the browser build or
Chromium is missing.
    sound_test.py NATIVE_BUILD WEB_BUILD SOURCE_DIR OUTPUT_DIR"""
import math
import os
import subprocess
import sys
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from headless_page import Browser, find_chromium, skip_reason  # noqa: E402
from stills_test import serve, SKIPPED  # noqa: E402

# Spans with the music busy: the lights' entry and the airship's flight, each two seconds.
SPANS = [(47000, 2000), (165000, 2000)]
MAX_DIFFERENCE_DB = -60.0


def native_samples(program, source, start, length, output):
    path = os.path.join(output, "native-%d.wav" % start)
    subprocess.run([program, "--score", os.path.join(source, "data", "score.txt"), "--timeline",
                    os.path.join(source, "data", "timeline.txt"), "--output", path, "--start", str(start),
                    "--end", str(start + length)], check=True)
    with wave.open(path) as file:
        frames = file.readframes(file.getnframes())
    return [int.from_bytes(frames[i:i + 2], "little", signed=True) for i in range(0, len(frames), 2)]


def main():
    native_build, web_build, source, output = sys.argv[1:5]
    chromium = find_chromium()
    why = skip_reason(chromium, web_build)
    if why:
        print("skipped: " + why)
        return SKIPPED
    os.makedirs(output, exist_ok=True)
    server = serve(web_build)
    browser = Browser(chromium)
    failures = []
    try:
        for start, length in SPANS:
            session = browser.open("http://127.0.0.1:%d/index.html?sound=%d&t=%d" % (
                server.server_address[1], length, start), 320, 240)
            title = browser.wait_for_title(session, timeout=120)
            if title != "done":
                failures.append("%d ms: the page's title is %r" % (start, title))
                continue
            page = [round(value * 32768) for value in browser.evaluate(session, "tarnelvoisPage.soundSamples")]
            native = native_samples(os.path.join(native_build, "render_soundtrack"), source, start, length, output)
            if len(page) != len(native):
                failures.append("%d ms: %d samples from the page, %d from render_soundtrack" % (
                    start, len(page), len(native)))
                continue
            signal = sum(value * value for value in native)
            noise = sum((a - b) * (a - b) for a, b in zip(page, native))
            differing = sum(a != b for a, b in zip(page, native))
            level = 10 * math.log10(noise / signal) if noise and signal else -math.inf
            verdict = "ok" if signal and level <= MAX_DIFFERENCE_DB else "FAILED"
            print("%6d ms + %d ms: difference %s dB below the signal, %d of %d samples differ  %s" % (
                start, length, "%.1f" % -level if noise else "inf", differing, len(native), verdict))
            if verdict != "ok":
                failures.append("%d ms" % start)
    finally:
        browser.close()
        server.shutdown()
    if failures:
        print("failed: " + ", ".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

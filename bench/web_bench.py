#!/usr/bin/env python3
"""The page's figures: bytes a visitor downloads (gzip, as a server compresses them), the time from
loading the page to its first frame in headless Chromium, and the frames' cost at 640x480 under
SwiftShader beside the native program's at the same size over the same span.
    web_bench.py NATIVE_BUILD WEB_BUILD [START_MS] [SECONDS]"""
import gzip
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from headless_page import Browser, find_chromium  # noqa: E402
from stills_test import serve  # noqa: E402

WIDTH, HEIGHT = 640, 480
PAGE_FILES = ["index.html", "tarnelvois.js", "tarnelvois.wasm", "demodat.zip"]


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def visit(chromium, server, start, seconds):
    """Opens the page at start, presses a key as soon as it offers to start, and after seconds
    returns its frames ([time, cost] in ms), when it started and its title."""
    browser = Browser(chromium)
    try:
        url = "http://127.0.0.1:%d/index.html?size=%dx%d&t=%d&mute" % (server.server_address[1], WIDTH, HEIGHT, start)
        session = browser.open(url, WIDTH, HEIGHT)
        deadline = time.monotonic() + 120
        while browser.evaluate(session, "document.getElementById('start').hidden") is not False:
            if time.monotonic() > deadline:
                return None, 0, browser.evaluate(session, "document.title")
            time.sleep(0.02)
        browser.call("Input.dispatchKeyEvent", session, type="keyDown", key="Enter", code="Enter",
                     windowsVirtualKeyCode=13)
        time.sleep(seconds)
        return (browser.evaluate(session, "tarnelvoisPage.frames"), browser.evaluate(session, "tarnelvoisPage.startedAt"),
                browser.evaluate(session, "document.title"))
    finally:
        browser.close()


def main():
    native_build, web_build = sys.argv[1:3]
    start = int(sys.argv[3]) if len(sys.argv) > 3 else 130000
    seconds = float(sys.argv[4]) if len(sys.argv) > 4 else 10
    total_raw = total_gzip = 0
    for name in PAGE_FILES:
        with open(os.path.join(web_build, name), "rb") as file:
            data = file.read()
        packed = len(gzip.compress(data, 9))
        total_raw += len(data)
        total_gzip += packed
        print("%-16s %9d bytes, %9d gzip" % (name, len(data), packed))
    print("%-16s %9d bytes, %9d gzip" % ("the page", total_raw, total_gzip))

    chromium = find_chromium()
    if not chromium:
        print("no chromium: the page's times are not measured")
        return 0
    server = serve(web_build)
    try:
        # A plain visit: how long until the piece's first frame.
        frames, started, title = visit(chromium, server, 0, 2)
        if not frames:
            print("the page drew no frame (its title: %r)" % title)
            return 1
        print("load to the start offer: %.0f ms; from the key press to the first frame: %.0f ms" % (
            started, frames[0][0] - started))
        # A visit at start: the frames' cost.
        frames, started, title = visit(chromium, server, start, seconds)
    finally:
        server.shutdown()
    if not frames:
        print("the page drew no frame (its title: %r)" % title)
        return 1
    costs = [cost for _, cost in frames[1:]]
    intervals = [b[0] - a[0] for a, b in zip(frames, frames[1:])]
    print("page, %dx%d, SwiftShader, from %d ms: %d frames in %.0f s; frame cost p50 %.2f ms, p95 %.2f ms; "
          "frame interval p50 %.2f ms, p95 %.2f ms (the catch-up to %d ms took %.0f ms)" % (
              WIDTH, HEIGHT, start, len(frames), seconds, percentile(costs, 0.5), percentile(costs, 0.95),
              percentile(intervals, 0.5), percentile(intervals, 0.95), start, frames[0][0] - started))

    native = subprocess.run(
        [os.path.join(native_build, "tarnelvois"), "--headless", "--size", "%dx%d" % (WIDTH, HEIGHT), "--benchmark",
         "--start", str(start), "--end", str(start + int(seconds * 1000)), "--mute"],
        capture_output=True, text=True, env=dict(os.environ, SDL_VIDEODRIVER="offscreen"))
    line = re.search(r"frame time: .*", native.stdout + native.stderr)
    print("native, %dx%d, Mesa: %s" % (WIDTH, HEIGHT, line.group(0) if line else "no figures (%d)" % native.returncode))
    return 0


if __name__ == "__main__":
    sys.exit(main())

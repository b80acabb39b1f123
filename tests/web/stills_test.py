#!/usr/bin/env python3
"""The page's stills against the native program's frames: eight moments of the piece drawn by
headless Chromium (SwiftShader) from build-web/ and by the native build on Mesa, compared pixel by
pixel. Exits 77 (skipped) when the browser build or Chromium is missing.
    stills_test.py NATIVE_BUILD WEB_BUILD OUTPUT_DIR"""
import functools
import http.server
import os
import subprocess
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from headless_page import Browser, find_chromium, skip_reason  # noqa: E402
from png import read_png  # noqa: E402

WIDTH, HEIGHT, SEED, FPS = 320, 240, 7, 30
MOMENTS = [("makers", 5000), ("cubes", 40000), ("lights", 60000), ("lattice", 130000), ("snow", 140000),
           ("airship", 170000), ("credits", 190000), ("end", 250000)]
MAX_MEAN_DIFFERENCE = 3.0
MIN_SHARE_WITHIN_16 = 0.98
SKIPPED = 77


def compare(native, web):
    """Mean absolute difference per channel and the share of pixels whose channels are all within 16."""
    total, close = 0, 0
    for i in range(0, len(native), 3):
        worst = 0
        for c in range(3):
            difference = abs(native[i + c] - web[i + c])
            total += difference
            worst = max(worst, difference)
        close += worst <= 16
    pixels = len(native) // 3
    return total / (3 * pixels), close / pixels


def serve(folder):
    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
    handler.log_message = lambda *args: None
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def native_frame(program, moment, output):
    folder = os.path.join(output, "native-" + str(moment))
    os.makedirs(folder, exist_ok=True)
    env = dict(os.environ, SDL_VIDEODRIVER="offscreen", LIBGL_ALWAYS_SOFTWARE="1")
    subprocess.run([program, "--headless", "--size", "%dx%d" % (WIDTH, HEIGHT), "--seed", str(SEED), "--start",
                    str(moment), "--end", str(moment), "--fps", str(FPS), "--mute", "--quiet", "--overwrite",
                    "--capture", folder + "/"], check=True, env=env)
    frames = sorted(name for name in os.listdir(folder) if name.endswith(".png"))
    with open(os.path.join(folder, frames[-1]), "rb") as file:
        return file.read()


def main():
    native_build, web_build, output = sys.argv[1:4]
    chromium = find_chromium()
    why = skip_reason(chromium, web_build)
    if why:
        print("skipped: " + why)
        return SKIPPED
    os.makedirs(output, exist_ok=True)
    server = serve(web_build)
    failures = []
    browser = Browser(chromium)
    try:
        for name, moment in MOMENTS:
            url = "http://127.0.0.1:%d/index.html?still&t=%d&size=%dx%d&seed=%d&fps=%d" % (
                server.server_address[1], moment, WIDTH, HEIGHT, SEED, FPS)
            session = browser.open(url, WIDTH, HEIGHT)
            title = browser.wait_for_title(session, timeout=600)
            if title != "done":
                failures.append("%s: the page's title is %r" % (name, title))
                continue
            web_png = browser.screenshot(session, WIDTH, HEIGHT)
            native_png = native_frame(os.path.join(native_build, "tarnelvois"), moment, output)
            for side, data in (("web", web_png), ("native", native_png)):
                with open(os.path.join(output, "%s-%s.png" % (name, side)), "wb") as file:
                    file.write(data)
            _, _, web = read_png(web_png)
            _, _, native = read_png(native_png)
            mean, share = compare(native, web)
            verdict = "ok" if mean <= MAX_MEAN_DIFFERENCE and share >= MIN_SHARE_WITHIN_16 else "FAILED"
            print("%-8s %6d ms: mean difference %.2f, %.2f%% of pixels within 16  %s" % (
                name, moment, mean, 100 * share, verdict))
            if verdict != "ok":
                failures.append(name)
    finally:
        browser.close()
        server.shutdown()
    print("pairs in " + output)
    if failures:
        print("failed: " + ", ".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

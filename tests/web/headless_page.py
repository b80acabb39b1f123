"""Headless Chromium driven over its DevTools pipe (file descriptors 3 and 4, NUL-separated JSON),
with Python's standard library only: open a page at a size, wait for its title, take a screenshot."""
import base64
import json
import os
import select
import shutil
import subprocess
import tempfile
import time

CHROMIUM_FLAGS = [
    "--headless=new", "--no-sandbox", "--use-gl=swiftshader", "--enable-unsafe-swiftshader",
    "--disable-gpu-sandbox", "--disable-background-networking", "--disable-component-update",
    "--disable-sync", "--no-first-run", "--hide-scrollbars", "--mute-audio",
    "--autoplay-policy=no-user-gesture-required", "--remote-debugging-pipe",
]

# A still catches up in one long task of the page, which answers nothing meanwhile: minutes on a
# loaded machine for the late moments.
ANSWER_TIMEOUT = 600


def skip_reason(chromium, web_build):
    """Why the browser tests cannot run here, or None."""
    if not chromium:
        return "no chromium (apt-get install chromium)"
    if not os.path.exists(os.path.join(web_build, "tarnelvois.wasm")):
        return "no browser build in %s (scripts/build-web.sh)" % web_build
    return None


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    def __init__(self, executable):
        self.profile = tempfile.mkdtemp(prefix="tarnelvois-chromium-")
        to_child_read, self.to_child = os.pipe()
        self.from_child, from_child_write = os.pipe()
        # The child finds the pipe's ends on its descriptors 3 (commands) and 4 (answers).
        # (copied away first, as either end may itself be 3 or 4).
        def place_pipes():
            commands, answers = os.dup(to_child_read), os.dup(from_child_write)
            os.dup2(commands, 3)
            os.dup2(answers, 4)
        self.process = subprocess.Popen(
            [executable, *CHROMIUM_FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=place_pipes, pass_fds=(3, 4))
        os.close(to_child_read)
        os.close(from_child_write)
        self.next_id = 0
        self.buffer = b""
        self.console = []

    def close(self):
        try:
            self.call("Browser.close")
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        os.close(self.to_child)
        os.close(self.from_child)
        shutil.rmtree(self.profile, ignore_errors=True)

    def _message(self):
        while b"\0" not in self.buffer:
            # A browser that stops answering fails the test instead of hanging it.
            ready, _, _ = select.select([self.from_child], [], [], ANSWER_TIMEOUT)
            if not ready:
                raise RuntimeError("chromium gave no answer for %d s" % ANSWER_TIMEOUT)
            chunk = os.read(self.from_child, 1 << 20)
            if not chunk:
                raise RuntimeError("chromium closed its DevTools pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=None, **params):
        self.next_id += 1
        command = {"id": self.next_id, "method": method, "params": params}
        if session:
            command["sessionId"] = session
        os.write(self.to_child, json.dumps(command).encode() + b"\0")
        while True:
            message = self._message()
            if message.get("method") == "Runtime.consoleAPICalled":
                self.console.append(" ".join(str(arg.get("value", "")) for arg in message["params"]["args"]))
            if message.get("method") == "Runtime.exceptionThrown":
                details = message["params"]["exceptionDetails"]
                self.console.append("exception: " + details.get("exception", {}).get("description", details.get("text", "")))
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(method + ": " + message["error"].get("message", "failed"))
                return message.get("result", {})

    def open(self, url, width, height):
        """A page of exactly width x height CSS pixels at scale 1; returns its session."""
        targets = self.call("Target.getTargets")["targetInfos"]
        page = next(target for target in targets if target["type"] == "page")
        session = self.call("Target.attachToTarget", targetId=page["targetId"], flatten=True)["sessionId"]
        self.call("Runtime.enable", session)
        self.call("Emulation.setDeviceMetricsOverride", session, width=width, height=height, deviceScaleFactor=1,
                  mobile=False)
        self.call("Page.enable", session)
        self.call("Page.navigate", session, url=url)
        return session

    def evaluate(self, session, expression):
        result = self.call("Runtime.evaluate", session, expression=expression, returnByValue=True)
        return result.get("result", {}).get("value")

    def wait_for_title(self, session, timeout):
        """The page's title once it is 'done' or starts with 'error', or None after timeout seconds."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            title = self.evaluate(session, "document.title")
            if title == "done" or (title or "").startswith("error"):
                return title
            time.sleep(0.2)
        return None

    def screenshot(self, session, width, height):
        shot = self.call("Page.captureScreenshot", session, format="png",
                         clip={"x": 0, "y": 0, "width": width, "height": height, "scale": 1})
        return base64.b64decode(shot["data"])

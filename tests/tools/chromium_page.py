"""Debian's headless Chromium driven through its DevTools protocol, for the
atlas page's tests and benchmark. Every wait is bounded; the browser runs
with a fresh profile that is removed at the end, and is ended by its own
process id."""

import base64
import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

import websocket

CHROMIUM = "/usr/bin/chromium"


class BrowserError(Exception):
    pass


def wait_until(what, check, seconds):
    """Calls check() until it returns something true, for at most `seconds`."""
    deadline = time.monotonic() + seconds
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > deadline:
            raise BrowserError(f"timed out after {seconds} s waiting for {what}")
        time.sleep(0.05)


class Chromium:
    """One headless browser with one tab. Console errors, uncaught
    exceptions and failed loads are gathered in `errors`."""

    def __init__(self, width=1280, height=900, timeout=60):
        self.timeout = timeout
        self.errors = []
        self._next_id = 0
        self._events = []
        self.profile = tempfile.mkdtemp(prefix="brx-chromium-")
        if not os.path.exists(CHROMIUM):
            raise BrowserError(f"{CHROMIUM} is missing: run scripts/install-deps.sh")
        self.process = subprocess.Popen(
            [CHROMIUM, "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--remote-debugging-port=0", f"--user-data-dir={self.profile}",
             f"--window-size={width},{height}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self._connect()
        except BaseException:
            self.close()
            raise

    def _connect(self):
        port_file = os.path.join(self.profile, "DevToolsActivePort")

        def port():
            if self.process.poll() is not None:
                raise BrowserError(f"chromium exited with code {self.process.returncode}")
            if not os.path.exists(port_file):
                return None
            lines = open(port_file, encoding="ascii").read().split("\n")
            return lines[0] if lines[0].isdigit() and len(lines) > 1 else None

        number = wait_until("chromium's DevTools port", port, self.timeout)

        def page_target():
            with urllib.request.urlopen(f"http://127.0.0.1:{number}/json/list", timeout=5) as reply:
                return next((t for t in json.load(reply) if t["type"] == "page"), None)

        target = wait_until("chromium's first tab", page_target, self.timeout)
        self.socket = websocket.create_connection(
            target["webSocketDebuggerUrl"], timeout=self.timeout, suppress_origin=True)
        for domain in ("Page", "Runtime", "Log"):
            self.call(f"{domain}.enable")

    def close(self):
        if getattr(self, "socket", None):
            self.socket.close()
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def _note(self, message):
        method = message.get("method")
        params = message.get("params", {})
        if method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text")
            self.errors.append(f"uncaught: {text}")
        elif method == "Runtime.consoleAPICalled" and params["type"] in ("error", "assert"):
            args = " ".join(str(a.get("value", a.get("description", ""))) for a in params["args"])
            self.errors.append(f"console.{params['type']}: {args}")
        elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
            self.errors.append(f"log: {params['entry']['text']}")
        self._events.append(message)

    def _receive(self):
        try:
            message = json.loads(self.socket.recv())
        except websocket.WebSocketTimeoutException as timeout:
            raise BrowserError(f"no word from chromium in {self.timeout} s") from timeout
        if "id" not in message:
            self._note(message)
        return message

    def call(self, method, params=None):
        self._next_id += 1
        asked = self._next_id
        self.socket.send(json.dumps({"id": asked, "method": method, "params": params or {}}))
        while True:
            message = self._receive()
            if message.get("id") == asked:
                if "error" in message:
                    raise BrowserError(f"{method}: {message['error']}")
                return message.get("result", {})

    def wait_for_event(self, method, seconds):
        deadline = time.monotonic() + seconds
        while True:
            for k, event in enumerate(self._events):
                if event.get("method") == method:
                    del self._events[k]
                    return event
            if time.monotonic() > deadline:
                raise BrowserError(f"timed out waiting for {method}")
            self._receive()

    def open(self, url, seconds=60):
        """Loads a page and waits for its load event."""
        self._events.clear()
        self.call("Page.navigate", {"url": url})
        self.wait_for_event("Page.loadEventFired", seconds)

    def evaluate(self, expression):
        """The value of a JavaScript expression; a promise is awaited."""
        result = self.call("Runtime.evaluate", {
            "expression": expression, "returnByValue": True, "awaitPromise": True})
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            raise BrowserError(details.get("exception", {}).get("description", details["text"]))
        return result["result"].get("value")

    def wait_for(self, what, expression, seconds=10):
        """Evaluates the expression until it is true; returns its value."""
        return wait_until(what, lambda: self.evaluate(expression), seconds)

    def type_text(self, text):
        self.call("Input.insertText", {"text": text})

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

"""Scaffolding of the viewer's tests and benchmark: trackhost runs with --view in
processes of their own, their CSV records, the event stream and a headless Chromium.

A test script is run as SCRIPT TRACKHOST SOURCE_DIR ARTIFACT_DIR [unittest arguments]."""
import atexit
import csv
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

TRACKHOST, SOURCE, ARTIFACTS = None, None, None


def main():
    """Takes the three paths off the command line and runs the script's tests."""
    global TRACKHOST, SOURCE, ARTIFACTS
    TRACKHOST, SOURCE, ARTIFACTS = sys.argv[1:4]
    os.makedirs(ARTIFACTS, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:], verbosity=2)


def wait_for(condition, timeout=20.0, what="the condition"):
    """Polls until condition() answers something true and returns it."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("gave up waiting for " + what)
        time.sleep(0.05)


class Trackhost:
    """trackhost --view on a configuration, records as CSV in a file of its own."""

    def __init__(self, workdir, args, config="examples/multi.conf", view="0"):
        self.csv = os.path.join(workdir, "records-%d.csv" % time.monotonic_ns())
        self.stdout = open(os.path.join(workdir, "stdout.txt"), "w+")
        self.process = subprocess.Popen(
            [TRACKHOST, "--view", view, "--format", "csv", "--output", self.csv, *args,
             os.path.join(SOURCE, config)],
            stdout=self.stdout, stderr=subprocess.PIPE, text=True)
        self.first_line = self.process.stderr.readline()
        found = re.search(r"^trackhost: viewer at (http://(\S+):(\d+)/)$", self.first_line)
        self.url, self.host, self.port = found.groups() if found else (None, None, None)

    def stop(self):
        """Ends the run as Ctrl-C does; answers the exit status."""
        self.process.send_signal(signal.SIGINT)
        return self.wait()

    def wait(self, timeout=60):
        self.rest = self.process.stderr.read()
        self.process.stderr.close()
        self.code = self.process.wait(timeout)
        self.stdout.close()
        return self.code

    def rows(self):
        """The records written so far: (device, id) -> list of the six value texts."""
        rows = {}
        with open(self.csv, newline="") as file:
            for row in list(csv.reader(file))[1:]:
                if len(row) == 9:
                    rows.setdefault((row[0], int(row[1])), []).append(row[3:])
        return rows

    def __enter__(self):
        return self

    def __exit__(self, *error):
        if self.process.poll() is None:
            self.process.kill()
            self.wait()


class EventStream:
    """A raw client of /events: its events as parsed JSON, read one by one."""

    def __init__(self, port, host="127.0.0.1"):
        self.socket = socket.create_connection((host, int(port)), timeout=10)
        self.socket.sendall(b"GET /events HTTP/1.1\r\nHost: viewer\r\n\r\n")
        self.buffer = b""
        self.head = self._until(b"\r\n\r\n").decode()

    def _until(self, end):
        while end not in self.buffer:
            data = self.socket.recv(65536)
            if not data:
                return None
            self.buffer += data
        text, self.buffer = self.buffer.split(end, 1)
        return text

    def events(self):
        """Yields each event's JSON until the stream ends (chunk sizes are skipped)."""
        while True:
            line = self._until(b"\n")
            if line is None:
                return
            if line.startswith(b"data: "):
                yield json.loads(line[6:])

    def close(self):
        self.socket.close()


def chromium(window="1280,720"):
    """A headless Chromium driven by selenium, with a fresh profile and no network."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    profile = tempfile.mkdtemp(prefix="viewer-profile-")
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync",
                 # WebGL on the software renderer, as no GPU is there.
                 "--enable-unsafe-swiftshader",
                 "--user-data-dir=" + profile, "--window-size=" + window]:
        options.add_argument(flag)
    atexit.register(shutil.rmtree, profile, True)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_page_load_timeout(30)
    return driver


# What the page shows of each tracker: (device, id) -> the six value texts.
DISPLAYED = """
return [...document.querySelectorAll('.tracker')].map(panel =>
    [panel.dataset.device, Number(panel.dataset.id),
     [...panel.querySelectorAll('td')].map(cell => cell.textContent)]);
"""


def displayed(driver):
    return {(device, id): values for device, id, values in driver.execute_script(DISPLAYED)}


def page_state(driver):
    return driver.execute_script(
        "return [document.getElementById('status').dataset.state, window.viewer.events]")

#!/usr/bin/env python3
"""The viewer's cost, measured side by side in one run: trackhost at 240 Hz with four
simulated trackers, in turn without a client, with one headless Chromium on the
page, and with a plain stream reader (a socket in this script, no browser).
Prints trackhost's CPU time (user + system, from the kernel's accounting of the
process) as a share of one core, and the latency from a record's delivery in
trackhost to its arrival in the page's event handler (the delivery time carried
in each event against the browser's clock; same machine, same clock) or in the
stream reader.

    bench/view_bench.py [BUILD_DIR] [--seconds S] [--rounds N] [--window W,H]
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(SOURCE, "tests", "support"))
import trackhost_view as rig  # noqa: E402

CONFIG = "".join("[tracker%d]\nport %d\nposition %d 4 0\n" % (n, n, 2 * n - 5) for n in (1, 2, 3, 4))


def run(trackhost, config, seconds, client, browser):
    """One run of trackhost with no client, a plain stream reader or the browser;
    answers (CPU seconds, wall seconds, latencies in ms)."""
    process = subprocess.Popen(
        [trackhost, "--view", "0", "--quiet", "--rate", "240", "--seconds", str(seconds),
         "--format", "csv", "--output", os.devnull, config],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    begin = time.monotonic()
    url = re.search(r"http://\S+:(\d+)/", process.stderr.readline())
    latencies = []
    if client == "1 browser":
        browser.get(url.group(0))
    elif client == "stream reader":
        # The stream's own path, without a browser: a socket read in Python.
        stream = rig.EventStream(url.group(1))
        for event in stream.events():
            arrival = time.time() * 1000.0
            latencies += [arrival - record["delivered"] for record in event["trackers"]]
        stream.close()
    # Standard error ends with trackhost; the page keeps what it measured.
    process.stderr.read()
    if client == "1 browser":
        latencies = browser.execute_script("return window.viewer.latencies")
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - begin
    if status != 0:
        sys.exit("trackhost failed: status %d" % status)
    return usage.ru_utime + usage.ru_stime, wall, latencies


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(SOURCE, "build"))
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--rounds", type=int, default=2)
    parser.add_argument("--window", default="1280,860", help="browser window size")
    options = parser.parse_args()
    trackhost = os.path.join(options.build, "bin", "trackhost")

    config = tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False)
    config.write(CONFIG)
    config.close()
    browser = rig.chromium(options.window)
    try:
        print("trackhost, 4 trackers at 240 Hz, %.0f s per run, %d rounds"
              % (options.seconds, options.rounds))
        print("%-6s %-14s %10s %10s %9s %9s %9s"
              % ("round", "clients", "CPU s", "% of core", "records", "p50 ms", "p99 ms"))
        clients = ["none", "1 browser", "stream reader"]
        shares = {client: [] for client in clients}
        latencies = {client: [] for client in clients}
        for round in range(1, options.rounds + 1):
            for client in clients:
                browser.get("about:blank")
                cpu, wall, measured = run(trackhost, config.name, options.seconds, client,
                                          browser)
                shares[client].append(100.0 * cpu / wall)
                latencies[client] += measured
                figures = ("%9d %9.2f %9.2f" % (len(measured), percentile(measured, 0.5),
                                                percentile(measured, 0.99))
                           if measured else "%9s %9s %9s" % ("-", "-", "-"))
                print("%-6d %-14s %10.3f %10.2f %s"
                      % (round, client, cpu, shares[client][-1], figures))
        median = {client: sorted(values)[len(values) // 2] for client, values in shares.items()}
        print("CPU with one browser against none (medians): %.2f%% against %.2f%% of one core,"
              " %+.2f points" % (median["1 browser"], median["none"],
                                 median["1 browser"] - median["none"]))
        for client in clients[1:]:
            every = latencies[client]
            print("latency from delivery to the %s, all rounds: p50 %.2f ms, p99 %.2f ms,"
                  " max %.2f ms over %d records"
                  % ("page" if client == "1 browser" else "stream reader",
                     percentile(every, 0.5), percentile(every, 0.99), max(every), len(every)))
        print("load average at the end: %.2f %.2f %.2f on %d cores"
              % (*os.getloadavg(), os.cpu_count()))
    finally:
        browser.quit()
        os.unlink(config.name)


if __name__ == "__main__":
    main()

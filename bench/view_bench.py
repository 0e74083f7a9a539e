#!/usr/bin/env python3
"""The viewer's cost, measured side by side in one run: trackhost at 240 Hz with four
simulated trackers, in turn without a client, with one headless Chromium on the
page, with a plain stream reader (a socket in this script, no browser), and under
load: 40 stream readers, 20 clients that ask for the stream and read nothing, and
the page asked for five times a second. Prints trackhost's CPU time (user +
system, from the kernel's accounting of the process) as a share of one core, the
records written per second (their own time stamps), the latency from a record's
delivery in trackhost to its arrival in the page's event handler (the delivery
time carried in each event against the browser's clock; same machine, same clock)
or in the stream reader, and under load the time the page takes to arrive.

    bench/view_bench.py [BUILD_DIR] [--seconds S] [--rounds N] [--window W,H]

With --scale, the viewer with many clients instead, for one or more builds side by
side (a build folder, or LABEL=FOLDER; a Windows build's trackhost.exe runs under
Wine): in turn with no event client, with one, and with 200 that read (all in one
thread of this script, which only counts bytes) and 20 that ask for the stream and
read nothing, the page asked for five times a second. Prints trackhost's thread
count (the most seen, sampled four times a second), its CPU time, the records
written per second, how many streams were served and the page's time.

    bench/view_bench.py --scale [LABEL=]BUILD_DIR... [--seconds S] [--rounds N]
"""
import argparse
import os
import re
import selectors
import socket
import subprocess
import sys
import tempfile
import threading
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(SOURCE, "tests", "fixtures"))
import trackhost_view as rig  # noqa: E402

CONFIG = "".join("[tracker%d]\nport %d\nposition %d 4 0\n" % (n, n, 2 * n - 5) for n in (1, 2, 3, 4))


def records_per_second(csv):
    """Records over the span of their own time stamps."""
    with open(csv) as file:
        times = [float(line.split(",")[2]) for line in file.readlines()[1:]]
    return (len(times) - 1) / (max(times) - min(times))


def run(trackhost, config, seconds, client, browser):
    """One run of trackhost with no client, a plain stream reader, the browser or the
    load; answers (CPU seconds, wall seconds, latencies in ms, records per second,
    page times in ms)."""
    csv = tempfile.NamedTemporaryFile(suffix=".csv", delete=False).name
    process = subprocess.Popen(
        [trackhost, "--view", "0", "--quiet", "--rate", "240", "--seconds", str(seconds),
         "--format", "csv", "--output", csv, config],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    begin = time.monotonic()
    url = re.search(r"http://\S+:(\d+)/", process.stderr.readline())
    latencies, pages = [], []
    if client == "load":
        load = rig.Load(url.group(1), readers=40, silent=20)
        time.sleep(seconds - 1)
        load.stop()
        pages = [1000.0 * t if t is not None else float("inf") for t in load.page_seconds]
    elif client == "1 browser":
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
    rate = records_per_second(csv)
    os.unlink(csv)
    return usage.ru_utime + usage.ru_stime, wall, latencies, rate, pages


percentile = rig.percentile


def trackhost_command(folder):
    """The command that runs the build's trackhost: trackhost.exe under Wine."""
    native = os.path.join(folder, "bin", "trackhost")
    return [native] if os.path.exists(native) else ["wine", native + ".exe"]


class Crowd:
    """`count` clients of /events, read in one thread of this script through a
    selector: each read only counts bytes, so that 200 readers cost the machine far
    less than 200 parsing threads would. Answers how many were served (status 200)."""

    def __init__(self, port, count):
        self.served, self.bytes, self.running = 0, 0, True
        self.selector = selectors.DefaultSelector()
        clients = []
        for _ in range(count):
            client = socket.create_connection(("127.0.0.1", port), timeout=30)
            client.sendall(rig.events_request("127.0.0.1:%d" % port))
            clients.append(client)
        for client in clients:
            head = b""
            while b"\r\n\r\n" not in head:
                data = client.recv(4096)
                if not data:
                    break
                head += data
            if head.startswith(b"HTTP/1.1 200 "):
                self.served += 1
                client.setblocking(False)
                self.selector.register(client, selectors.EVENT_READ)
            else:
                client.close()
        self.thread = threading.Thread(target=self._read)
        self.thread.start()

    def _read(self):
        while self.running:
            for key, _ in self.selector.select(timeout=0.1):
                try:
                    data = key.fileobj.recv(1 << 16)
                except OSError:
                    data = b""
                if not data:
                    self.selector.unregister(key.fileobj)
                    key.fileobj.close()
                self.bytes += len(data)

    def stop(self):
        self.running = False
        self.thread.join()
        for key in list(self.selector.get_map().values()):
            key.fileobj.close()


def thread_count(pid):
    try:
        with open("/proc/%d/status" % pid) as status:
            return int(re.search(r"^Threads:\s+(\d+)", status.read(), re.M).group(1))
    except (OSError, AttributeError):
        return 0


def scale_run(command, config, seconds, streams):
    """One run of trackhost with `streams` readers of /events (with 200 of them, 20
    silent clients too and the page asked for); answers a dict of what was seen."""
    csv = tempfile.NamedTemporaryFile(suffix=".csv", delete=False).name
    process = subprocess.Popen(
        [*command, "--view", "0", "--quiet", "--rate", "240", "--seconds", str(seconds),
         "--format", "csv", "--output", csv, config],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    begin = time.monotonic()
    port = int(re.search(r"http://\S+:(\d+)/", process.stderr.readline()).group(1))
    crowd = Crowd(port, streams) if streams else None
    load = rig.Load(port, readers=0, silent=20) if streams >= 200 else None
    threads = 0
    while time.monotonic() - begin < seconds - 1 and process.poll() is None:
        threads = max(threads, thread_count(process.pid))
        time.sleep(0.25)
    pages = []
    if load:
        load.stop()
        pages = [1000.0 * t if t is not None else float("inf") for t in load.page_seconds]
    process.stderr.read()
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - begin
    if crowd:
        crowd.stop()
    if status != 0:
        sys.exit("trackhost failed: status %d" % status)
    rate = records_per_second(csv)
    os.unlink(csv)
    return {"threads": threads, "cpu": 100.0 * (usage.ru_utime + usage.ru_stime) / wall,
            "rate": rate, "served": crowd.served if crowd else 0, "pages": pages,
            "bytes": crowd.bytes if crowd else 0}


def median(values):
    return sorted(values)[len(values) // 2]


def scale(builds, seconds, rounds):
    """The --scale comparison of `builds`, (label, folder) pairs, run in turn."""
    config = tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False)
    config.write(CONFIG)
    config.close()
    print("trackhost, 4 trackers at 240 Hz, %.0f s per run, %d rounds; with 200 streams also"
          " 20 silent clients and the page 5 times a second" % (seconds, rounds))
    print("%-6s %-10s %8s %8s %8s %10s %8s %9s %9s"
          % ("round", "build", "streams", "served", "threads", "% of core", "records/s",
             "page p50", "page p99"))
    seen = {}
    try:
        for round in range(1, rounds + 1):
            for label, folder in builds:
                for streams in (0, 1, 200):
                    got = scale_run(trackhost_command(folder), config.name, seconds, streams)
                    seen.setdefault((label, streams), []).append(got)
                    pages = got["pages"]
                    page = ("%9.2f %9.2f" % (percentile(pages, 0.5), percentile(pages, 0.99))
                            if pages else "%9s %9s" % ("-", "-"))
                    print("%-6d %-10s %8d %8d %8d %10.2f %9.1f %s"
                          % (round, label, streams, got["served"], got["threads"], got["cpu"],
                             got["rate"], page), flush=True)
        for label, _ in builds:
            runs = {streams: seen[(label, streams)] for streams in (0, 1, 200)}
            threads = {n: median([r["threads"] for r in runs[n]]) for n in runs}
            rates = {n: median([r["rate"] for r in runs[n]]) for n in runs}
            pages = [t for r in runs[200] for t in r["pages"]]
            print("%s (medians): threads %d with 1 stream, %d with 200; records/s %.1f with none,"
                  " %.1f with 200 (%+.2f%%); page with 200 streams and 20 silent: p50 %.2f ms,"
                  " p99 %.2f ms, max %.2f ms over %d requests; streams served %d of 200"
                  % (label, threads[1], threads[200], rates[0], rates[200],
                     100.0 * (rates[200] - rates[0]) / rates[0], percentile(pages, 0.5),
                     percentile(pages, 0.99), max(pages), len(pages),
                     median([r["served"] for r in runs[200]])))
        print("load average at the end: %.2f %.2f %.2f on %d cores"
              % (*os.getloadavg(), os.cpu_count()))
    finally:
        os.unlink(config.name)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("builds", nargs="*", default=[os.path.join(SOURCE, "build")])
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--rounds", type=int, default=2)
    parser.add_argument("--window", default="1280,860", help="browser window size")
    parser.add_argument("--scale", action="store_true", help="many clients, builds side by side")
    options = parser.parse_args()
    if options.scale:
        builds = [build.split("=", 1) if "=" in build else (os.path.basename(build), build)
                  for build in options.builds]
        scale(builds, options.seconds, options.rounds)
        return
    trackhost = os.path.join(options.builds[0], "bin", "trackhost")

    config = tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False)
    config.write(CONFIG)
    config.close()
    browser = rig.chromium(options.window)
    try:
        print("trackhost, 4 trackers at 240 Hz, %.0f s per run, %d rounds"
              % (options.seconds, options.rounds))
        print("%-6s %-14s %10s %10s %10s %9s %9s %9s"
              % ("round", "clients", "CPU s", "% of core", "records/s", "events", "p50 ms",
                 "p99 ms"))
        clients = ["none", "1 browser", "stream reader", "load"]
        shares = {client: [] for client in clients}
        latencies = {client: [] for client in clients}
        rates = {client: [] for client in clients}
        pages = []
        for round in range(1, options.rounds + 1):
            for client in clients:
                browser.get("about:blank")
                cpu, wall, measured, rate, page = run(trackhost, config.name, options.seconds,
                                                      client, browser)
                shares[client].append(100.0 * cpu / wall)
                latencies[client] += measured
                rates[client].append(rate)
                pages += page
                if page:  # under load: the page's times, not the events'
                    measured = page
                figures = ("%9d %9.2f %9.2f" % (len(measured), percentile(measured, 0.5),
                                                percentile(measured, 0.99))
                           if measured else "%9s %9s %9s" % ("-", "-", "-"))
                print("%-6d %-14s %10.3f %10.2f %10.1f %s"
                      % (round, client, cpu, shares[client][-1], rate, figures))
        median = {client: sorted(values)[len(values) // 2] for client, values in shares.items()}
        print("CPU with one browser against none (medians): %.2f%% against %.2f%% of one core,"
              " %+.2f points" % (median["1 browser"], median["none"],
                                 median["1 browser"] - median["none"]))
        print("records per second at 240 Hz x 4 trackers (medians): %.1f without a client,"
              " %.1f under load" % (sorted(rates["none"])[len(rates["none"]) // 2],
                                    sorted(rates["load"])[len(rates["load"]) // 2]))
        print("page under load, all rounds: p50 %.2f ms, p99 %.2f ms, max %.2f ms over %d"
              " requests" % (percentile(pages, 0.5), percentile(pages, 0.99), max(pages),
                             len(pages)))
        for client in clients[1:3]:
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

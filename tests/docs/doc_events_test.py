"""The event stream's client of docs/events.md, run against a live trackhost --view
on the simulated sensor, prints its poses and tells when the device stops
answering and answers again (its cable pulled for 2 seconds, and reconnect 2 in
examples/demo.conf bringing it back); and run as the page shows it, on the three
sensors of examples/multi.conf, it prints what the page shows, numbers aside.

Run as SCRIPT SOURCE_DIR TRACKHOST."""
import os
import re
import subprocess
import sys
import tempfile
import time

import markdown

RECORD = re.compile(r"^head 1 \d+\.\d{3}( -?\d+\.\d{5}){6}$")


def client_code(source):
    with open(os.path.join(source, "docs", "events.md"), encoding="utf-8") as file:
        blocks = list(markdown.marked_blocks(file.read(), re.compile(r"^<!--\s*events-client\s*-->$")))
    if len(blocks) != 1:
        raise AssertionError("docs/events.md holds %d blocks marked events-client" % len(blocks))
    return blocks[0][2]


NUMBER = re.compile(r"-?\d+(?:\.\d+)?")


def shown_run(source):
    """The command the page runs the client with, and the lines it shows, numbers masked."""
    with open(os.path.join(source, "docs", "events.md"), encoding="utf-8") as file:
        text = file.read()
    found = re.search(r"^\$ (python3 poses\.py \S+ (\d+))\n(.*?)^```", text, re.S | re.M)
    if not found:
        raise AssertionError("docs/events.md shows no run of poses.py")
    return int(found.group(2)), [NUMBER.sub("N", line) for line in found.group(3).splitlines()]


def as_shown(source, trackhost, client):
    """Problems of the client run as the page shows it."""
    count, shown = shown_run(source)
    run = subprocess.Popen(
        [trackhost, "--view", "0", "--quiet", "--no-status", "--output", os.devnull, "--seconds",
         "20", os.path.join(source, "examples", "multi.conf")],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    found = re.search(r"viewer at (http://\S+)", run.stderr.readline())
    time.sleep(1)  # every sensor has delivered
    printed = subprocess.run([sys.executable, client, found.group(1), str(count)],
                             capture_output=True, text=True, timeout=30).stdout.splitlines() \
        if found else []
    run.terminate()
    run.communicate(timeout=30)
    masked = [NUMBER.sub("N", line) for line in printed]
    return [] if masked == shown else ["run as the page shows it, the client printed %r" % printed]


def main():
    source, trackhost = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as folder:
        client = os.path.join(folder, "poses.py")
        with open(client, "w", encoding="utf-8") as file:
            file.write(client_code(source))
        run = subprocess.Popen(
            [trackhost, "--view", "0", "--quiet", "--no-status", "--output", os.devnull, "--rate",
             "20", "--seconds", "7", "--sim-dropout", "1:0.5:2",
             os.path.join(source, "examples", "demo.conf")],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        found = re.search(r"viewer at (http://\S+)", run.stderr.readline())
        printed = subprocess.run([sys.executable, client, found.group(1)], capture_output=True,
                                 text=True, timeout=30).stdout.splitlines() if found else []
        run.stderr.read()
        run.wait(timeout=30)
        problems = as_shown(source, trackhost, client)
    records = [line for line in printed if RECORD.match(line)]
    if len(records) < 40:
        problems.append("%d records printed, fewer than 40" % len(records))
    others = [line for line in printed if not RECORD.match(line)]
    if others != ["not answering: head", "not answering: none"]:
        problems.append("the lines besides the records: %r" % others)
    for problem in problems:
        print(problem)
    print("\n".join(printed[:5] + ["..."] + others))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()

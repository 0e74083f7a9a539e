"""A run ended from outside as a user ends it (Ctrl-C, and natively a hang-up or a
termination too) leaves complete files: every record row whole, the recording whole,
and the summary said. On the Windows build, trackhost.exe runs under Wine, which
hands Ctrl-C to the program as the console would.

Run as SCRIPT SOURCE_DIR SIGNALS TRACKHOST [ARGUMENT...], SIGNALS separated by
commas (INT,TERM,HUP), TRACKHOST and its arguments the command that starts it."""
import os
import signal
import subprocess
import sys
import tempfile
import time


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError("gave up waiting for " + what)
        time.sleep(0.05)


def lines(path):
    with open(path, "rb") as file:
        return file.read().replace(b"\r\n", b"\n").split(b"\n")


def run_until(signal_name, source, command, folder):
    records = os.path.join(folder, signal_name + ".csv")
    recording = os.path.join(folder, signal_name + "-recording.txt")
    process = subprocess.Popen(
        command + ["--rate", "50", "--quiet", "--no-status", "--format", "csv", "--output",
                   records, "--record", recording, os.path.join(source, "examples", "demo.conf")],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
        start_new_session=True)
    wait_for(lambda: os.path.exists(records) and len(lines(records)) > 5, 60,
             "records before SIG" + signal_name)
    os.killpg(process.pid, getattr(signal, "SIG" + signal_name))
    _, err = process.communicate(timeout=30)
    err = err.decode().replace("\r\n", "\n")
    problems = []
    if process.returncode != 0:
        problems.append("exit status %d" % process.returncode)
    if "\ntrackhost: device [head]: " not in err:
        problems.append("no summary")
    rows = lines(records)
    if rows[-1] != b"" or any(row.count(b",") != 8 for row in rows[1:-1]):
        problems.append("a record row is cut off")
    readings = lines(recording)
    if readings[0] != b"trackhost-recording 1" or readings[-1] != b"" or \
            any(len(reading.split()) != 6 for reading in readings[3:-1]):
        problems.append("the recording is cut off")
    return problems, err


def main():
    source, signals, command = sys.argv[1], sys.argv[2].split(","), sys.argv[3:]
    failed = False
    with tempfile.TemporaryDirectory() as folder:
        for name in signals:
            problems, err = run_until(name, source, command, folder)
            print("SIG%s: %s" % (name, "; ".join(problems) or "complete files and the summary"))
            if problems:
                print(err)
                failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

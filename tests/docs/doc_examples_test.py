"""Every example of the documentation that shows trackhost commands with what they
print is run, and prints what it shows.

An example is a fenced block right after a line "<!-- example -->". In it, a line
"$ COMMAND" is a command (continued on the next line after a backslash), run by
bash with the built programs first on the PATH, in a folder of the example's own
where examples/ is the project's and build/bin/ holds the built programs; the
lines up to the next command are what it writes to standard output and standard
error, in any interleaving of the two, and it ends with status 0. A block after
"<!-- file: NAME -->" (or the lines of a comment "<!-- file: NAME" up to "-->") is
a file NAME that each example of its page finds in its folder. Dates, times,
thread IDs and records' times are masked on both sides. Options after
"example:": "numbers vary" masks every number (for poses the simulator makes up as
time goes by); "status N" expects status N of the block's last command; "until
shown" stops each command once it printed the lines shown, in that order among
whatever else it printed (for a server, or a stream that never ends). A command
ending in "&" runs in the background until its block ends, and must print what is
shown after it the same way. Port 8080 in a command is a free port of the test's.

Run as SCRIPT SOURCE_DIR BIN_DIR."""
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

import markdown

MASKS = [
    (re.compile(r"\b[A-Z][a-z]{2} \d{2} \d{2}:\d{2}:\d{2}\b"), "DATE"),
    (re.compile(r"(\S)\[\d+\]: "), r"\1[TID]: "),
    (re.compile(r"\b\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}Z"), "START"),
    (re.compile(r"\b1\d{9}\.\d{3}\b"), "TIME"),
]
NUMBERS = re.compile(r"-?\d+(?:\.\d+)?")


def masked(lines, numbers):
    result = []
    for line in lines:
        for pattern, replacement in MASKS:
            line = pattern.sub(replacement, line)
        # Where numbers vary, so do the widths of the columns they stand in.
        result.append(" ".join(NUMBERS.sub("N", line).split()) if numbers else line.rstrip())
    return result


def interleaves(shown, out, err):
    """Whether `shown` is `out` and `err` interleaved, each in its own order."""
    reachable = {(0, 0)}
    for line in shown:
        reachable = {(o + 1, e) for o, e in reachable if o < len(out) and out[o] == line} | \
                    {(o, e + 1) for o, e in reachable if e < len(err) and err[e] == line}
        if not reachable:
            return False
    return (len(out), len(err)) in reachable


def commands(block):
    """(command, the lines shown after it) for each "$ " line of a block."""
    steps, continued = [], False
    for line in block.split("\n"):
        if continued:
            steps[-1] = (steps[-1][0][:-1] + line.strip(), steps[-1][1])
        elif line.startswith("$ "):
            steps.append((line[2:], []))
        elif steps:
            steps[-1][1].append(line)
        continued = bool(steps) and not steps[-1][1] and steps[-1][0].endswith("\\")
    for command, shown in steps:
        while shown and not shown[-1].strip():
            shown.pop()
    return steps


def example_folder(source, bin_dir, files):
    """A folder of the example's own: examples/ the project's, build/bin/ the programs,
    and the page's files."""
    folder = tempfile.mkdtemp(prefix="doc-example-")
    for file_name, text in files.items():
        with open(os.path.join(folder, file_name), "w", encoding="utf-8") as file:
            file.write(text)
    os.symlink(os.path.join(source, "examples"), os.path.join(folder, "examples"))
    os.mkdir(os.path.join(folder, "build"))
    os.symlink(bin_dir, os.path.join(folder, "build", "bin"))
    return folder


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return str(probe.getsockname()[1])


def appears(shown, out, err):
    """Whether the shown lines come in `out` and `err`, among other lines, each stream's
    in its own order."""
    reachable = {(0, 0)}
    for line in shown:
        following = set()
        for o, e in reachable:
            following |= {(i + 1, e) for i in range(o, len(out)) if out[i] == line}
            following |= {(o, i + 1) for i in range(e, len(err)) if err[i] == line}
        if not following:
            return False
        reachable = following
    return True


class Running:
    """A command that runs on while the example goes on: its two streams, read as they
    come."""

    def __init__(self, command, folder, environment):
        self.process = subprocess.Popen(
            ["bash", "-c", "exec " + command], cwd=folder, env=environment,
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
            start_new_session=True)
        self.out, self.err = [], []
        self.readers = [threading.Thread(target=self.read, args=(stream, lines), daemon=True)
                        for stream, lines in ((self.process.stdout, self.out),
                                              (self.process.stderr, self.err))]
        for reader in self.readers:
            reader.start()

    @staticmethod
    def read(stream, lines):
        for line in stream:
            lines.append(line.rstrip("\n"))

    def wait_for(self, shown, masks, seconds=60):
        """Whether the shown lines came within `seconds`."""
        deadline = time.monotonic() + seconds
        while not appears(shown, masks(list(self.out)), masks(list(self.err))):
            if time.monotonic() > deadline or self.process.poll() is not None:
                time.sleep(0.2)  # what it printed last
                return appears(shown, masks(list(self.out)), masks(list(self.err)))
            time.sleep(0.05)
        return True

    def stop(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGINT)
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        for reader in self.readers:
            reader.join(timeout=5)


def report(name, number, command, shown, out, err, status=None):
    text = "%s:%d: $ %s\n  shows:\n    %s\n  prints (standard output):\n    %s\n" \
           "  prints (standard error):\n    %s" % (
               name, number, command, "\n    ".join(shown), "\n    ".join(out),
               "\n    ".join(err))
    return text + ("" if status is None else "\n  status: %s" % status)


def check(source, bin_dir, files, name, number, options, block):
    problems = []
    environment = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"], COLUMNS="80")
    folder = example_folder(source, bin_dir, files)
    numbers = "numbers" in options
    port = free_port()
    masks = lambda lines: masked([line.replace(port, "8080") for line in lines], numbers)
    expected_status = int(options[options.index("status") + 1]) if "status" in options else 0
    steps = commands(block)
    background = []
    for index, (command, shown) in enumerate(steps):
        command = command.replace("8080", port)
        wanted = masked(shown, numbers)
        if command.endswith("&") or "until" in options:
            running = Running(command.rstrip("& "), folder, environment)
            if not running.wait_for(wanted, masks):
                problems.append(report(name, number, command, shown, running.out, running.err))
            if command.endswith("&"):
                background.append(running)
            else:
                running.stop()
            continue
        run = subprocess.run(["bash", "-c", command], cwd=folder, env=environment,
                             stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=120)
        status = expected_status if index == len(steps) - 1 else 0
        out, err = masks(run.stdout.splitlines()), masks(run.stderr.splitlines())
        if not interleaves(wanted, out, err) or run.returncode != status:
            problems.append(report(name, number, command, shown, run.stdout.splitlines(),
                                   run.stderr.splitlines(),
                                   None if run.returncode == status else
                                   "%d, not %d" % (run.returncode, status)))
    for running in background:
        running.stop()
    shutil.rmtree(folder)
    return problems


def main():
    source, bin_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    problems, count = [], 0
    for name in markdown.markdown_files(source):
        with open(os.path.join(source, name), encoding="utf-8") as file:
            text = file.read()
        files = markdown.example_files(text)
        for number, options, block in markdown.examples(text):
            count += 1
            problems += check(source, bin_dir, files, name, number, options, block)
    for problem in problems:
        print(problem)
    print("%d example%s run, %d differ%s" % (count, "" if count == 1 else "s", len(problems),
                                             "s" if len(problems) == 1 else ""))
    # No example found is a fault of the search, not a pass.
    sys.exit(1 if problems or count == 0 else 0)


if __name__ == "__main__":
    main()

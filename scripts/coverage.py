#!/usr/bin/python3
"""Line and branch coverage of the code (not of the tests) per folder, from a build
made with --coverage after its tests ran; fails when a folder's lines fall below
its floor.

    scripts/coverage.py BUILD_DIR

Run from the repository's root. A line of platform/, support/, tracker/ or device/
that no test runs is marked as one no test can reach (GCOVR_EXCL_LINE, or
GCOVR_EXCL_START to GCOVR_EXCL_STOP), with the reason beside the mark; a marked line
counts neither way. A folder that falls short of its floor with few lines not run
lists them.
"""
import json
import re
import subprocess
import sys

# Lines run, in percent, that no folder may fall below (a room of host/ is a folder
# of its own): set just under the figures of docs/testing.md, so that a real drop
# fails and a line or two of noise does not. A folder without a floor of its own
# takes its parent's, or the overall one.
FLOORS = {
    "platform": 100.0,
    "support": 100.0,
    "tracker": 100.0,
    "device": 100.0,
    "sim": 97.5,
    "examples": 96.5,
    "host": 92.0,
    "host/align": 94.5,
    "host/check": 97.0,
    "host/files": 87.5,
    "host/health": 99.0,
    "host/input": 99.0,
    "host/output": 92.0,
    "host/plugin": 91.0,
    "host/recording": 94.5,
    "host/report": 88.5,
    "host/run": 95.0,
    "host/sensors": 93.5,
    "host/view": 93.0,
}
OVERALL_FLOOR = 95.0
CODE = "(platform|support|tracker|device|sim|host|examples)/"


def folder_of(path):
    parts = path.split("/")
    if parts[0] == "host" and len(parts) > 2:
        return "host/" + parts[1]
    return parts[0]


def percent(covered, total):
    return 100.0 * covered / total if total else 100.0


def line_counts(build):
    """Each line of code with its count and its branches' counts, by the file's path
    from the root: a header included through the build's links to the source folders
    (BUILD/include/ID/FOLDER/X.h) is the one file FOLDER/X.h."""
    # Debian's gcovr 5.2 stops at lines of gcov's output it does not know unless told
    # to pass over them; CMake's compiler checks leave counts without sources.
    report = subprocess.run(
        ["gcovr", "--root", ".", "--filter", f"^({re.escape(build)}/include/[^/]+/)?{CODE}",
         "--gcov-ignore-parse-errors", "--exclude-directories", ".*CMakeFiles/[0-9.]+",
         "--json", "-", "--object-directory", build, build],
        check=True, stdout=subprocess.PIPE, text=True).stdout
    lines = {}
    for entry in json.loads(report)["files"]:
        path = entry["file"]
        if path.startswith(build + "/include/"):
            path = path.split("/", 3)[3]
        for line in entry["lines"]:
            if line["gcovr/noncode"] or line["gcovr/excluded"]:
                continue
            key = (path, line["line_number"])
            count, branches = lines.get(key, (0, []))
            taken = [b["count"] for b in line["branches"]]
            if len(taken) == len(branches):
                taken = [a + b for a, b in zip(taken, branches)]
            elif len(taken) < len(branches):
                taken = branches
            lines[key] = (count + line["count"], taken)
    return lines


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: scripts/coverage.py BUILD_DIR")
    build = sys.argv[1].rstrip("/")
    folders = {}
    missed = {}
    for (path, number), (count, branches) in line_counts(build).items():
        folder = folder_of(path)
        row = folders.setdefault(folder, [0, 0, 0, 0])
        row[0] += 1 if count > 0 else 0
        row[1] += 1
        row[2] += sum(1 for taken in branches if taken > 0)
        row[3] += len(branches)
        if count == 0:
            missed.setdefault(folder, []).append(f"{path}:{number}")
    total = [sum(row[i] for row in folders.values()) for i in range(4)]

    print(f"{'folder':<16} {'lines':>16} {'':>7} {'branches':>16} {'':>7} {'floor':>6}")
    failures = []
    for folder in sorted(folders) + ["all"]:
        row = total if folder == "all" else folders[folder]
        lines = percent(row[0], row[1])
        floor = FLOORS.get(folder, FLOORS.get(folder.split("/")[0], OVERALL_FLOOR))
        if folder == "all":
            floor = OVERALL_FLOOR
        print(f"{folder:<16} {row[0]:>7} of {row[1]:>5} {lines:6.1f}% "
              f"{row[2]:>7} of {row[3]:>5} {percent(row[2], row[3]):6.1f}% "
              f"{floor:5.1f}%")
        if lines < floor:
            failures.append(f"{folder}: lines {lines:.1f}% below the floor of {floor:.1f}%")
            if folder != "all" and len(missed[folder]) <= 20:
                failures.append("  not run: " + " ".join(sorted(missed[folder])))
    sys.stdout.flush()
    for failure in failures:
        print("coverage: " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

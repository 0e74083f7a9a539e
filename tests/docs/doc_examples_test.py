"""Every example of the documentation that shows trackhost commands with what they
print is run, and prints what it shows.

An example is a fenced block right after a line "<!-- example -->". In it, a line
"$ COMMAND" is a command (continued on the next line after a backslash), run by
bash with the built programs first on the PATH, in a folder of the example's own
where examples/ is the project's and build/bin/ holds the built programs; the
lines up to the next command are what it writes to standard output and standard
error, in any interleaving of the two. A block after "<!-- file: NAME -->" is a file
NAME that each example of its page finds in its folder. Dates, times,
thread IDs and records' times are masked on both sides; with "<!-- example: numbers
vary -->" every number is (for poses the simulator makes up as time goes by).

Run as SCRIPT SOURCE_DIR BIN_DIR."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

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
        result.append(NUMBERS.sub("N", line) if numbers else line.rstrip())
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


def check(source, bin_dir, files, name, number, options, block):
    problems = []
    environment = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"], COLUMNS="80")
    folder = example_folder(source, bin_dir, files)
    for command, shown in commands(block):
        run = subprocess.run(["bash", "-c", command], cwd=folder, env=environment,
                             stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=120)
        numbers = "numbers" in options
        out = masked(run.stdout.splitlines(), numbers)
        err = masked(run.stderr.splitlines(), numbers)
        if not interleaves(masked(shown, numbers), out, err):
            problems.append("%s:%d: $ %s\n  shows:\n    %s\n  prints (standard output):\n    %s\n"
                            "  prints (standard error):\n    %s" % (
                                name, number, command, "\n    ".join(shown),
                                "\n    ".join(run.stdout.splitlines()),
                                "\n    ".join(run.stderr.splitlines())))
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
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()

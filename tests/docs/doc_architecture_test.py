"""The page on how the code is laid out stays true: every path it names exists, and
it names every folder of the code and every room of trackhost (each folder with a
CMakeLists.txt at the top, and in host/).

Run as SCRIPT SOURCE_DIR."""
import os
import re
import sys

PAGE = "docs/architecture.md"


def code_folders(source):
    """The folders the page must name: "device/", "host/run/", ..."""
    folders = []
    for parent in ("", "host/"):
        for name in sorted(os.listdir(os.path.join(source, parent or "."))):
            if os.path.isfile(os.path.join(source, parent, name, "CMakeLists.txt")):
                folders.append(parent + name + "/")
    return folders


def main():
    source = sys.argv[1]
    with open(os.path.join(source, PAGE), encoding="utf-8") as file:
        text = file.read()
    named = set(re.findall(r"`([^`\s]+)`", text))
    problems = []
    for path in sorted(name for name in named if "/" in name):
        if not os.path.exists(os.path.join(source, path)):
            problems.append("%s names %s, which does not exist" % (PAGE, path))
    for folder in code_folders(source):
        if folder not in named:
            problems.append("%s does not name the folder %s" % (PAGE, folder))
    for problem in problems:
        print(problem)
    print("%d paths named, %d problems" % (len(named), len(problems)))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()

"""trackhost's manual page names every option its --help names.

Run as SCRIPT TRACKHOST MANUAL_PAGE."""
import re
import subprocess
import sys


def main():
    trackhost, page = sys.argv[1:3]
    usage = subprocess.run([trackhost, "--help"], capture_output=True, text=True, check=True).stdout
    options = set(re.findall(r"^  (?:-\w, )?(--[a-z-]+)", usage, re.M))
    with open(page, encoding="utf-8") as file:
        roff = file.read().replace("\\-", "-")
    missing = sorted(option for option in options if option not in roff)
    for option in missing:
        print("the manual page does not name " + option)
    print("%d options, %d missing from %s" % (len(options), len(missing), page))
    sys.exit(1 if missing or not options else 0)


if __name__ == "__main__":
    main()

"""Every relative link in the project's Markdown files leads to a file that exists,
and every #anchor to a heading (or an HTML id) of its page.

Run as SCRIPT SOURCE_DIR, or SCRIPT --unpacked FOLDER for the Markdown files of an
unpacked release, whose links must lead to files the release holds."""
import os
import sys
from urllib.parse import unquote

import markdown


def broken_links(source, unpacked=False):
    problems = []
    pages = {}

    def page_anchors(path):
        if path not in pages:
            with open(path, encoding="utf-8") as file:
                pages[path] = markdown.anchors(file.read())
        return pages[path]

    for name in markdown.markdown_files(source, unpacked):
        path = os.path.join(source, name)
        with open(path, encoding="utf-8") as file:
            text = file.read()
        for number, target in markdown.links(text):
            if ":" in target.split("#")[0].split("/")[0]:  # http:, https:, mailto:
                continue
            file_part, _, anchor = target.partition("#")
            linked = os.path.normpath(os.path.join(os.path.dirname(path), unquote(file_part))) \
                if file_part else path
            where = "%s:%d: %s" % (name, number, target)
            if not os.path.exists(linked):
                problems.append(where + ": no such file")
            elif anchor and linked.endswith(".md") and unquote(anchor) not in page_anchors(linked):
                problems.append(where + ": no heading with the anchor #" + anchor)
    return problems


def main():
    unpacked = sys.argv[1] == "--unpacked"
    problems = broken_links(sys.argv[-1], unpacked)
    for problem in problems:
        print(problem)
    print("%d broken link%s" % (len(problems), "" if len(problems) == 1 else "s"))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()

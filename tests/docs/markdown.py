"""What the documentation tests read in Markdown: the project's Markdown files, their
headings as GitHub anchors them, their links, and the fenced blocks marked as examples."""
import os
import re
import unicodedata

FENCE = re.compile(r"^\s*(```+|~~~+)")
LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^()\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")
MARKER = re.compile(r"^<!--\s*example(?::\s*(.*?))?\s*-->\s*$")
FILE_MARKER = re.compile(r"^<!--\s*file:\s*(\S+)\s*-->\s*$")


def markdown_files(source, unpacked=False):
    """The Markdown files of the project's tree, found by walking it (so that a plain copy
    of the tree, an unpacked source archive, is read as a clone is): every folder but the
    hidden ones and those a build makes (build*, dist). The same walk reads an
    unpacked release (`unpacked`), which has no such folders."""
    found = []
    for folder, folders, files in os.walk(source):
        folders[:] = sorted(name for name in folders
                            if not name.startswith((".", "build")) and name != "dist")
        found += [os.path.relpath(os.path.join(folder, name), source)
                  for name in files if name.endswith(".md")]
    return sorted(found)


def prose_lines(text):
    """(number, line) of the lines outside fenced code blocks."""
    fence = None
    for number, line in enumerate(text.split("\n"), 1):
        found = FENCE.match(line)
        if found:
            mark = found.group(1)
            if fence is None:
                fence = mark[0] * 3
            elif mark.startswith(fence):
                fence = None
            continue
        if fence is None:
            yield number, line


def slug(heading):
    """The anchor GitHub gives a heading's text: its words in lower case, joined by
    hyphens, punctuation left out (letters, digits, '-' and '_' stay)."""
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading)  # a link: its text
    text = re.sub(r"<[^>]+>", "", text).replace("`", "").lower()
    kept = "".join(c for c in text if c in " -_" or unicodedata.category(c)[0] in "LMN")
    return kept.replace(" ", "-")


def anchors(text):
    """Every anchor of a Markdown text: one per heading (repeats numbered as GitHub
    numbers them: name, name-1, name-2) and each HTML id or name."""
    found, seen = set(), {}
    for _, line in prose_lines(text):
        heading = HEADING.match(line)
        if heading:
            base = slug(heading.group(2))
            count = seen.get(base, 0)
            seen[base] = count + 1
            found.add(base if count == 0 else "%s-%d" % (base, count))
        found.update(re.findall(r"<a\s+(?:id|name)=\"([^\"]+)\"", line))
    return found


def links(text):
    """(line number, target) of every link and image outside code."""
    for number, line in prose_lines(text):
        line = re.sub(r"`[^`]*`", "", line)
        for target in LINK.findall(line):
            yield number, target


def marked_blocks(text, marker):
    """(line number, what the marker matched, block text) of each fenced block right
    after a line that `marker` matches."""
    lines = text.split("\n")
    for index, line in enumerate(lines):
        found = marker.match(line)
        if not found or index + 1 >= len(lines) or not FENCE.match(lines[index + 1]):
            continue
        fence = FENCE.match(lines[index + 1]).group(1)
        end = index + 2
        while end < len(lines) and not lines[end].strip().startswith(fence):
            end += 1
        yield index + 2, found, "\n".join(lines[index + 2:end])


def examples(text):
    """(line number, options, block text) of each fenced block marked as an example by
    a line "<!-- example -->" (or "<!-- example: OPTIONS -->") right before it."""
    for number, found, block in marked_blocks(text, MARKER):
        yield number, (found.group(1) or "").split(), block


HIDDEN_FILE = re.compile(r"^<!--\s*file:\s*(\S+)\n(.*?)^-->\s*$", re.S | re.M)


def example_files(text):
    """{name: text} of the blocks marked "<!-- file: NAME -->", and of the comments
    "<!-- file: NAME" whose next lines up to "-->" are the file (for a file the page
    need not show): files the page's examples find in their folder."""
    files = {found.group(1): block + "\n" for _, found, block in marked_blocks(text, FILE_MARKER)}
    files.update((found.group(1), found.group(2)) for found in HIDDEN_FILE.finditer(text))
    return files

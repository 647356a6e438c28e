#!/usr/bin/python3
"""Finds a "}  // namespace" comment on a brace that closes no namespace.

clang-format adds that comment to the brace it takes for a namespace's end.
When it misreads a file (version 14 takes a variable named `import` for a
module import and loses count of the braces), it marks a function's end
instead, and --dry-run then finds the misread file correctly formatted. The
comment on the wrong brace is the trace the misreading leaves.

Usage: namespace-comments.py FILE...
Prints FILE:LINE for each such brace; exits 1 when there is one.
"""
import re
import sys

NAMESPACE_OPENING = re.compile(r"(?:inline\s+)?namespace\b[\w:\s]*$")
NAMESPACE_COMMENT = re.compile(r"\s*//\s*namespace\b")
RAW_STRING = re.compile(r'R"([^(\s]*)\(')


def code_of(text):
    """The text with comments, literals and preprocessor lines blanked out,
    line ends kept, so that every brace left is one of the code's own."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            # A directive runs to the end of its line and its continuations.
            while i < n and not (text[i] == "\n" and text[i - 1] != "\\"):
                out.append("\n" if text[i] == "\n" else " ")
                i += 1
            continue
        raw = RAW_STRING.match(text, i) if c == "R" and (i == 0 or not text[i - 1].isalnum()) else None
        if raw:
            end = text.find(")" + raw.group(1) + '"', raw.end())
            end = n if end < 0 else end + len(raw.group(1)) + 2
        elif text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
        elif c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum())):
            end = i + 1
            while end < n and text[end] != c and text[end] != "\n":
                end += 2 if text[end] == "\\" else 1
            end = min(end + 1, n)
        else:
            out.append(c)
            if not c.isspace():
                line_start = False
            elif c == "\n":
                line_start = True
            i += 1
            continue
        out.append("".join("\n" if ch == "\n" else " " for ch in text[i:end]))
        i = end
    return "".join(out)


def misplaced_comments(text):
    """The line numbers of closing braces that carry a namespace comment but
    close something other than a namespace."""
    code = code_of(text)
    lines = text.split("\n")
    found = []
    stack = []
    statement_start = 0
    line = 1
    for i, c in enumerate(code):
        if c == "\n":
            line += 1
        elif c == "{":
            stack.append(bool(NAMESPACE_OPENING.match(code[statement_start:i].strip())))
            statement_start = i + 1
        elif c == "}":
            closes_namespace = stack.pop() if stack else False
            rest = lines[line - 1][i - code.rfind("\n", 0, i):]
            if not closes_namespace and NAMESPACE_COMMENT.match(rest):
                found.append(line)
            statement_start = i + 1
        elif c == ";":
            statement_start = i + 1
    return found


def main(paths):
    status = 0
    for path in paths:
        with open(path, encoding="utf-8") as source:
            for line in misplaced_comments(source.read()):
                print(f"{path}:{line}: a namespace comment on a brace that closes no namespace "
                      "(clang-format misread the file)")
                status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

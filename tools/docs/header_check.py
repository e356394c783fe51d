#!/usr/bin/env python3
"""Checks that the public header documents every export.

Every `CVL_API` declaration carries its one-line comment (`/**< ... */`) on its
line, and the `@name` sections that group them open and close in pairs, so the
reference `./run docs` builds lists each export under its family.

    header_check.py [HEADER]   prints each offence; exits 1 if any
"""
import re
import sys


def offences(text):
    found = []
    depth = 0
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith("CVL_API"):
            name = re.search(r"\b(CVL_\w+|BankAdrs)\s*\(", line)
            label = name.group(1) if name else line[:60]
            comment = re.search(r"/\*\*<\s*(.*?)\s*\*/\s*$", line)
            if not comment or not comment.group(1):
                found.append(f"{number}: {label} has no /**< ... */ comment")
            if depth != 1:
                found.append(f"{number}: {label} stands outside a @name section")
        if "@{" in line:
            depth += 1
        if "@}" in line:
            depth -= 1
            if depth < 0:
                found.append(f"{number}: @}} without its @{{")
                depth = 0
    if depth:
        found.append("a @name section is not closed")
    return found


def main(argv):
    path = argv[1] if len(argv) > 1 else "include/corvel/corvel.h"
    with open(path, encoding="utf-8") as f:
        problems = offences(f.read())
    for p in problems:
        print(f"{path}:{p}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

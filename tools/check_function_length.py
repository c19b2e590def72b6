#!/usr/bin/env python3
"""No function of the source tree runs over 80 lines, from its opening line to its closing brace.

tools/check_function_length.py [ROOT]: the tree at ROOT (this project's by default). Prints each
long function as FILE:LINE: N lines and exits 1 when there is any. Every .cpp and .h file on disk
in the source folders is read; comments, strings and preprocessor lines are set aside first, then
braces are followed: a brace after a parenthesised head at namespace or class level opens a
function, and the braces inside it (blocks, lambdas, initialisers) belong to it.
"""
import os
import re
import sys

LIMIT = 80
FOLDERS = ["platform", "datafile", "analysis", "compliance", "csv", "graph", "print", "cli", "ui",
           "app", "tests", "bench", "fuzz"]


def code_only(src):
    """The text with comments, strings and preprocessor lines blanked, line breaks kept."""
    keep_lines = lambda m: "\n" * m.group(0).count("\n")
    src = re.sub(r"(?m)^\s*#.*$", "", src)
    src = re.sub(r'R"\((.*?)\)"', lambda m: '""' + keep_lines(m), src, flags=re.S)
    src = re.sub(r"//[^\n]*", "", src)
    src = re.sub(r"/\*.*?\*/", keep_lines, src, flags=re.S)
    src = re.sub(r'"(\\.|[^"\\\n])*"', '""', src)
    return re.sub(r"'(\\.|[^'\\\n])*'", "''", src)


def opening_kind(head, inside_function):
    if inside_function:
        return "block"
    if re.match(r"^(inline\s+)?namespace\b", head) or head.startswith('extern ""'):
        return "namespace"
    if re.search(r"\b(class|struct|enum|union)\b[^()]*$", head):
        return "type"
    return "function" if ")" in head and not head.endswith("=") else "block"


def long_functions(path):
    src = code_only(open(path, encoding="utf-8").read())
    stack, head, line, start = [], "", 1, 0
    for ch in src:
        if ch == "\n":
            line += 1
        if ch == "{":
            kind = opening_kind(head.strip(), "function" in stack)
            if kind == "function":
                start = line
            stack.append(kind)
            head = ""
        elif ch == "}":
            kind = stack.pop() if stack else None
            if kind == "function" and "function" not in stack and line - start + 1 > LIMIT:
                yield start, line - start + 1
            head = ""
        elif ch == ";":
            head = ""
        else:
            head += ch


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    found = 0
    for folder in FOLDERS:
        for where, _, files in sorted(os.walk(os.path.join(root, folder))):
            for name in sorted(f for f in files if f.endswith((".cpp", ".h"))):
                path = os.path.join(where, name)
                for start, lines in long_functions(path):
                    print(f"{os.path.relpath(path, root)}:{start}: {lines} lines (at most {LIMIT})")
                    found += 1
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

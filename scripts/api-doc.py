#!/usr/bin/env python3
"""Makes docs/API.md, the framework's API page, from the public headers themselves.

    scripts/api-doc.py           writes docs/API.md
    scripts/api-doc.py --check   exits 1 when docs/API.md is not what the headers give, or when a
                                 public declaration has no comment (tests/api_doc_test.sh)

The framework is the layers a program is written on: tasks/, io/, gfx/, win/, water/ and, of
app/, the process-wide record (app/globals.h) and the system utilities (app/system.h). Every
header of those folders is read. Each gives one line per class, struct, enum, free function,
constant and variable declared at its top level, in the order of the header, with the first
sentence of the comment written for it: the `//` lines right above it, or the comment on its own
line. Declarations that follow one another without a blank line share the comment above the
first (FrameWidth and FrameHeight, say). A class's line also names its public member functions
and fields, whose comments stay in the header.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUT = os.path.join(ROOT, "docs", "API.md")
FOLDERS = ["tasks", "io", "gfx", "win", "water"]
SINGLE_HEADERS = ["app/globals.h", "app/system.h"]

HEADER_TEXT = """# Ondrel's framework API

Every public class, function, constant and variable of the framework, one line each, grouped by
header, with the first sentence of the header's own comment. The header says the rest. This page
is made from the headers by `scripts/api-doc.py` (do not edit it by hand: run the script), and
`tests/api_doc_test.sh` fails when it is not current or when a public declaration has no comment.

The framework is the layers a program is written on (see [ARCHITECTURE.md](ARCHITECTURE.md)):
`tasks/`, `io/`, `gfx/`, `win/`, `water/`, and of `app/` the process-wide record and the system
utilities. A program includes them by these names (`#include "gfx/surface.h"`). Below them,
`platform/win32.h` is the Win32 API itself (Microsoft's documentation describes it; our subset
on Linux and the web keeps its names and promises), and the rest of `platform/` is the
platform's own plumbing; the demonstration's own code in `app/` is not part of the framework.
"""


class Declaration:
    def __init__(self, kind, name, comment, members=None, fields=None):
        self.kind = kind
        self.name = name
        self.comment = comment
        self.members = members or []
        self.fields = fields or []


def headers():
    found = []
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(ROOT, folder))):
            if name.endswith(".h"):
                found.append(f"{folder}/{name}")
    return found + SINGLE_HEADERS


def first_sentence(lines):
    """Up to the first full stop that ends a sentence: followed by a space or the end, outside
    brackets, not one of the dots of a range ("0..255")."""
    text = " ".join(line.strip() for line in lines if line.strip())
    depth = 0
    for i, c in enumerate(text):
        if c in "([":
            depth += 1
        elif c in ")]":
            depth = max(0, depth - 1)
        elif c == "." and depth == 0 and (i + 1 == len(text) or text[i + 1] == " ") and text[i - 1 : i] != ".":
            return text[: i + 1]
    return text.rstrip(".") + "."


def split_comment(line):
    """The code of a line and its trailing // comment (none inside a string)."""
    in_string = None
    i = 0
    while i < len(line):
        c = line[i]
        if in_string:
            if c == "\\":
                i += 2
                continue
            if c == in_string:
                in_string = None
        elif c in "\"'":
            in_string = c
        elif line.startswith("//", i):
            return line[:i], line[i + 2 :].strip()
        i += 1
    return line, ""


def statements(text):
    """Top-level statements of a header: (code, comment lines above, trailing comment, body,
    whether a blank line or other text came between it and the statement before)."""
    result = []
    comment = []
    apart = True
    code = ""
    trailing = ""
    depth = 0
    body = []
    for raw in text.splitlines():
        line, note = split_comment(raw)
        stripped = line.strip()
        if depth == 0 and not code:
            if not stripped:
                if note:
                    comment.append(note)
                else:
                    comment, apart = [], True
                continue
            if stripped.startswith("#"):
                comment, apart = [], True
                continue
        if depth > 0:
            body.append(raw)
        else:
            code += " " + stripped
            trailing = trailing or note
        depth += line.count("{") - line.count("}")
        if depth == 0 and (stripped.endswith(";") or stripped.endswith("}")):
            result.append((code.strip(), comment, trailing, body, apart))
            code, trailing, body, comment, apart = "", "", [], [], False
    return result


def member_names(body, default_public):
    """Public member functions and fields of a class body (its lines inside the braces)."""
    public = default_public
    functions, fields = [], []
    depth = 0
    statement = ""
    for raw in body:
        line, _ = split_comment(raw)
        stripped = line.strip()
        if depth == 0 and re.match(r"^(public|private|protected)\s*:$", stripped):
            public = stripped.startswith("public")
            continue
        if depth == 0:
            statement += " " + stripped
        depth += line.count("{") - line.count("}")
        if depth == 0 and (stripped.endswith(";") or stripped.endswith("}")):
            code = statement.strip()
            statement = ""
            if not public or not code or code == "}" or code.startswith(("using ", "friend ", "static_assert")):
                continue
            if "= delete" in code:
                continue
            head = code.split("{")[0]
            paren = head.find("(")
            equals = head.find("=")
            operator = re.search(r"\boperator\s*(\S+?)\s*\(", head)
            if operator:
                name = "operator" + operator.group(1)
            elif paren >= 0 and (equals < 0 or paren < equals):
                name = re.findall(r"~?\w+", head[:paren])[-1]
            else:
                name = re.findall(r"\w+", head.split("=")[0].split("[")[0])[-1]
                fields.append(name)
                continue
            if name not in functions:
                functions.append(name)
    return functions, fields


def declarations(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        text = f.read()
    found = []
    shared = []
    for code, comment, trailing, body, apart in statements(text):
        if apart:
            shared = []
        own = comment or ([trailing] if trailing else [])
        if comment:
            shared = comment
        words = own or shared
        head = code.split("{")[0].strip()
        kind = None
        match = re.match(r"^(class|struct)\s+(\w+)(\s+final)?\s*(:[^{]*)?$", head)
        if match and "{" in code:
            kind, name = match.group(1), match.group(2)
            functions, fields = member_names(body[:-1], kind == "struct")
            functions = [n for n in functions if n not in (name, "~" + name)]
            found.append(Declaration(kind, name, words, functions, fields))
            continue
        if re.match(r"^(class|struct)\s+\w+\s*;$", code):
            continue  # a forward declaration
        match = re.match(r"^enum\s+(class\s+)?(\w+)", head)
        if match:
            found.append(Declaration("enum", match.group(2), words))
            continue
        if code.startswith(("using ", "typedef ", "namespace ", "static_assert")):
            continue
        paren = head.find("(")
        equals = head.find("=")
        if paren >= 0 and (equals < 0 or paren < equals):
            name = re.findall(r"\w+", head[:paren])[-1]
            found.append(Declaration("function", name, words))
        else:
            name = re.findall(r"\w+", head.split("=")[0].split("[")[0])[-1]
            kind = "variable" if code.startswith("extern ") else "constant"
            found.append(Declaration(kind, name, words))
    return text, found


def file_comment(text):
    lines = []
    for raw in text.splitlines():
        if not raw.startswith("//"):
            break
        lines.append(raw[2:].strip())
    return first_sentence(lines) if lines else ""


def page():
    out = [HEADER_TEXT]
    missing = []
    for path in headers():
        text, found = declarations(path)
        out.append(f"## [{path}](../{path})\n")
        about = file_comment(text)
        if about:
            out.append(about + "\n")
        else:
            missing.append(f"{path}: no comment at the top of the header")
        for d in found:
            if not d.comment:
                missing.append(f"{path}: {d.kind} {d.name} has no comment")
                continue
            shown = f"`{d.name}()`" if d.kind == "function" else f"`{d.name}`"
            line = f"- {shown} ({d.kind}): {first_sentence(d.comment)}"
            if d.members:
                line += " Functions: " + ", ".join(f"`{m}`" for m in d.members) + "."
            if d.fields:
                line += " Fields: " + ", ".join(f"`{m}`" for m in d.fields) + "."
            out.append(line)
        out.append("")
    return "\n".join(out).rstrip() + "\n", missing


def main():
    check = sys.argv[1:] == ["--check"]
    if sys.argv[1:] and not check:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    text, missing = page()
    for m in missing:
        print(f"api-doc: {m}", file=sys.stderr)
    if check:
        try:
            with open(OUTPUT, encoding="utf-8") as f:
                current = f.read()
        except OSError:
            current = None
        if current != text:
            print("api-doc: docs/API.md is not what the headers give: run scripts/api-doc.py", file=sys.stderr)
            return 1
        return 1 if missing else 0
    with open(OUTPUT, "w", encoding="utf-8") as f:
        f.write(text)
    print(f"api-doc: wrote {os.path.relpath(OUTPUT, ROOT)}")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())

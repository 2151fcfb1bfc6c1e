#!/usr/bin/env python3
"""Makes docs/API.md, the framework's API reference, from the public headers themselves.

    scripts/api-doc.py           writes docs/API.md
    scripts/api-doc.py --check   exits 1 when docs/API.md is not what the headers give, when a
                                 public declaration has no comment, or when a header of the
                                 framework belongs to no group (tests/api_doc_test.sh)

The framework is the layers a program is written on: tasks/, io/, gfx/, win/, water/, of app/
the process-wide record (app/globals.h) and the system utilities (app/system.h), and of platform/
the start folder (platform/program_folder.h). Every header of them is read and placed in one of
GROUPS, by what a program does with it. The page shows, header by header, each declaration at the
top level (classes and structs with their public members, enums, functions, constants and
variables, those of a namespace under its name) as the header writes it, without bodies, under
the first sentence of the comment written for it: the `//` lines right above it, or the comment
on its own line. Declarations that follow one another without a blank line share the comment above
the first; a comment after a declaration, on its line, is its own alone. A declaration whose comment starts with "For the framework's own use" is left out, and
so is a header whose top comment does. The start of the page (START) is written here: a skeleton
program (examples/template/main.cpp, as it stands), the events a window gets, how a window is
closed and how menu items are numbered.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUT = os.path.join(ROOT, "docs", "API.md")
FOLDERS = ["tasks", "io", "gfx", "win", "water"]
SINGLE_HEADERS = ["app/globals.h", "app/system.h", "platform/program_folder.h"]
SKELETON = "examples/template/main.cpp"
INTERNAL = "For the framework's own use"

# What a program does, and the headers it does it with, in the order of the page.
GROUPS = [
    ("A program, its window and its loop", ["win/window.h", "platform/program_folder.h"]),
    ("Surfaces and the palette", ["gfx/surface.h", "gfx/palette.h"]),
    ("Drawing", ["gfx/draw.h"]),
    ("Text", ["gfx/font.h"]),
    ("Sprites and copies between surfaces", ["gfx/sprite_sheet.h", "gfx/blit.h"]),
    ("Files", ["gfx/image_files.h", "io/file_stream.h"]),
    ("Tasks", ["tasks/tasks.h"]),
    ("Menus and buttons", ["win/menu_bar.h", "win/button_group.h", "win/handle_list.h"]),
    ("Water", ["water/water.h", "water/water_span.h"]),
    ("Strings", ["io/dyn_string.h"]),
    ("The process-wide record and the system", ["app/globals.h", "app/system.h"]),
]

HEADER_TEXT = """# Ondrel's framework API

Every public class, member, function, constant and variable of the framework, with its declaration
and the first sentence of its header's comment, grouped by what a program does with it. The
header says the rest. This page is made from the headers by `scripts/api-doc.py` (do not edit it by
hand: run the script), and `tests/api_doc_test.sh` fails when it is not current or when a public
declaration has no comment.

A program includes the headers by these names (`#include "gfx/surface.h"`), links
`Ondrel::framework`, a display driver and the process entry (`ondrel_add_program` does all three;
see [ARCHITECTURE.md](ARCHITECTURE.md) for the layers). Below them, `platform/win32.h` is the Win32
API itself: on Windows `<windows.h>`, elsewhere a subset of it that keeps its names and promises
(Microsoft's documentation describes them). The demonstration's own code in `app/` and the
platform's plumbing are not part of the framework.
"""

START = """## Start here

A whole program: a window whose picture is an 8-bit surface, drawn and presented at every idle
turn, that ends on Escape. It is [`examples/template/main.cpp`](../examples/template/main.cpp);
copy [`examples/template/`](../examples/template/) and build it against the installed package (its
`CMakeLists.txt` is one `find_package(Ondrel)` and one `ondrel_add_program`).

```cpp
@SKELETON@
```

What every program on the framework keeps to:

- **`WinMain` is the program.** The process entry (`Ondrel::main`) runs first: it makes the folder
  of the program's files current, stores the instance handle and the command line in `appGlobals`
  and calls `WinMain`. A program that opens no files needs nothing else; one that opens files by
  relative names lists them in `kProgramFiles` (below, `platform/program_folder.h`), at global
  scope, ended by `nullptr`.
- **Load the palette before making surfaces.** Every `Surface` takes the process palette when it
  is made. Load the default one first (`LoadPaletteFromBmp(".\\\\Media\\\\Sprites.bmp")`, the
  colour table of the installed `Media/Sprites.bmp`); its colours have names in `gfx/palette.h`
  (`colour::kYellow`). A surface made before has the colours of the 3-3-2 cube that stands in while
  there is no palette: index 14 is then (0, 109, 170), not yellow.
- **`RunMessageLoop()` runs until no window is left.** A window is a `Window` made with `new`; it
  registers itself, and the loop calls its `OnIdle` once an idle turn, its `OnEvent` for input.
- **Name the `bool`s at the call site.** Several calls take more than one `bool`; the examples
  write each one's name:

```cpp
new MyWindow(...);  // : Window("Title", 640, 480, /*noBackground=*/true, /*owner=*/nullptr, /*fullscreen=*/false)
DrawText(font, x, y, "Score", &image, colour::kWhite, /*centred=*/false, /*boxed=*/false);
DrawSprite(sheet, x, y, sprite, frame, &image, /*flipX=*/false, /*flipY=*/false, /*transpose=*/false,
           /*tint=*/colour::kYellow);
```

- **Saving a surface:** `SaveToFile("picture.bmp")` writes an 8-bit BMP, as `SaveBmp` does; any
  other name, `"picture.png"` included, gets the framework's raw image format, which only
  `LoadRawImage` reads. The framework writes no PNG: save a BMP and convert it.

## The events a window gets

`OnEvent(kind, code, detail)` is called on the window that the input is for, only while the window
is ready (made whole) and, for the mouse and its wheel, active (its program is the one in front).

| kind | when | code | detail |
|---|---|---|---|
| `Key` | a key goes down, and again as it repeats while held | the virtual-key code: `VK_ESCAPE`, `VK_SPACE`, `VK_LEFT`, `VK_ADD` (keypad +), `'A'` to `'Z'` and `'0'` to `'9'` for letters and digits | 0 |
| `Mouse` | the pointer moves, or a button goes down or up, over the client area | `Move`, `LeftDown`, `LeftUp`, `RightDown`, `RightUp` | 0: the pointer is in the window's `mouseX`, `mouseY` (client pixels, below a menu bar), where it was before the last move in `prevMouseX`, `prevMouseY`; `leftButton`, `rightButton` say which buttons are held |
| `Wheel` | the wheel turns over the window | the turn: `WHEEL_DELTA` (120) a notch, positive away from the user | the `MK_*` keys and buttons held (`MK_CONTROL`, `MK_SHIFT`, `MK_LBUTTON`, ...) |
| `Button` | a push button of a `ButtonGroup` of the window is clicked | the button's identifier, as `AddButton` was given it | 0 |
| `Menu` | an item of the window's menu bar is picked | the drop-down's number: 0 for the first `AddMenu`, 1 for the next, ... | the item's position in its drop-down, from 0 |

A key held down is also seen by polling, `KeyDown(vk)` (`app/system.h`), as the demonstration
does for the space key.

## Closing a window

A window is closed by deleting it: `delete this` in its own `OnEvent` (Escape, a Quit item), the
close box of its frame (the window procedure deletes it), or `DeleteAllWindows()`. Its destructor
runs (a derived window's first), it leaves the registry, and its native window goes. A window
deletes itself this way only: never delete it twice, and never touch it after. When the last
window has gone, `RunMessageLoop()` returns 0; a program then releases what it made and returns
from `WinMain`. After a `WM_QUIT` the loop returns its exit code with the windows still there:
`DeleteAllWindows()` ends them.

## Menus: how items are numbered

`AddMenu(title, items)` adds a drop-down at the right of the window's menu bar (the first call
makes the bar, 19 pixels high above the client area, which keeps its size). `items` is a list of
texts ended by `nullptr`. Drop-downs are numbered from 0 in the order they were added, items from
0 within their drop-down: picking item `i` of drop-down `n` reaches the window as
`OnEvent(Menu, n, i)`. (The native command is `n * 100 + i`, so a drop-down holds at most 100
items.) `menuBar->SetMenuCheck(n, i, /*checkMark=*/true)` puts a check mark beside an item.

```cpp
const char* const kGame[] = {"New", "Quit", nullptr};     // drop-down 0: New is 0, Quit is 1
const char* const kView[] = {"Animation", nullptr};        // drop-down 1: Animation is 0
AddMenu("Game", kGame);
AddMenu("View", kView);
// in OnEvent: if (kind == Menu && code == 0 && detail == 1) delete this;  // Game > Quit
```
"""


class Declaration:
    def __init__(self, lines, comment, grouped=False, members=None, kind="declaration", trailing=False):
        self.trailing = trailing    # its comment is the one after it on its line
        self.lines = lines          # the declaration as the header lays it out
        self.comment = comment      # its own comment, or the one above the group it follows
        self.grouped = grouped      # it follows a declaration with a comment, without a blank line
        self.members = members      # for a class: its public members
        self.kind = kind            # "declaration", "class", "struct", "namespace" or "end"


def headers():
    found = []
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(ROOT, folder))):
            if name.endswith(".h"):
                found.append(f"{folder}/{name}")
    return found + SINGLE_HEADERS


def first_sentence(lines):
    """Up to the first full stop that ends a sentence: followed by a space or the end, outside
    brackets and backquotes, not one of the dots of a range ("0..255") or of an ellipsis."""
    text = " ".join(line.strip() for line in lines if line.strip())
    depth = 0
    quoted = False
    for i, c in enumerate(text):
        if c == "`":
            quoted = not quoted
        elif quoted:
            continue
        elif c in "([":
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


class Statement:
    def __init__(self, code, lines, comment, trailing, body, apart):
        self.code = code          # the statement on one line
        self.lines = lines        # its code as the header lays it out, without comments
        self.comment = comment    # the comment lines right above it
        self.trailing = trailing  # the comment after its code on its own line
        self.body = body          # the lines inside its braces, when it has a body
        self.apart = apart        # a blank line or other text came between it and the one before


def statements(lines):
    """The statements at the top level of `lines`."""
    result = []
    comment = []
    apart = True
    code = ""
    laid = []
    trailing = ""
    depth = 0
    body = []
    for raw in lines:
        line, note = split_comment(raw)
        stripped = line.strip()
        if depth == 0 and not code:
            if not stripped:
                if note:
                    comment.append(note)
                else:
                    comment, apart = [], True
                continue
            if stripped.startswith("#") or re.match(r"^(public|private|protected)\s*:$", stripped):
                result.append(Statement(stripped, [stripped], [], "", [], apart))
                comment, apart = [], True
                continue
        if depth > 0:
            body.append(raw)
        else:
            code += " " + stripped
            laid.append(line.rstrip())
            trailing = trailing or note
        depth += line.count("{") - line.count("}")
        if depth == 0 and (stripped.endswith(";") or stripped.endswith("}")):
            result.append(Statement(code.strip(), laid, comment, trailing, body, apart))
            code, laid, trailing, body, comment, apart = "", [], "", [], [], False
    return result


def declared(statement):
    """A declaration as the page shows it: laid out as in the header, its comments and a
    function's body dropped, its first line unindented."""
    lines = statement.lines
    code = statement.code
    if "{" in code and not re.match(r"^(class|struct|enum|namespace)\b", code):
        head = code[: code.index("{")].rstrip()
        if "(" in head and not re.search(r"=\s*$", head) and not head.endswith("]"):
            # An inline function: up to its body.
            kept = []
            for line in lines:
                if "{" in line:
                    kept.append(line[: line.index("{")].rstrip() + ";")
                    break
                kept.append(line)
            lines = kept
    margin = len(lines[0]) - len(lines[0].lstrip())
    return [line[margin:] if line[:margin].strip() == "" else line.strip() for line in lines]


def commented(st, shared):
    """The comment of a statement and whether it is the group's above it: (comment, grouped, the
    comment the statements after it share)."""
    if st.apart:
        shared = []
    own = st.comment or ([st.trailing] if st.trailing else [])
    grouped = not st.comment and bool(shared)
    if st.comment:
        shared = st.comment
    return own or shared, grouped, shared


class Member:
    def __init__(self, lines, comment, grouped, trailing):
        self.lines = lines        # the declaration's lines
        self.comment = comment    # its own comment, or the one above the group it follows
        self.grouped = grouped    # it follows a declaration with a comment, without a blank line
        self.trailing = trailing  # its comment is the one after it on its line


def members(body, default_public):
    """The public members of a class body (its lines inside the braces)."""
    public = default_public
    found = []
    shared = []
    for st in statements(body):
        access = re.match(r"^(public|private|protected)\s*:$", st.code)
        if access:
            public = access.group(1) == "public"
            shared = []
            continue
        words, grouped, shared = commented(st, shared)
        if not public or st.code in ("}", "};") or st.code.startswith(("using ", "friend ", "static_assert")):
            continue
        if "= delete" in st.code:
            continue
        found.append(Member(declared(st), words, grouped, not st.comment and bool(st.trailing)))
    return found


def declarations(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        text = f.read()
    return text, declarations_in(text.splitlines(), "")


def declarations_in(lines, namespace):
    found = []
    shared = []
    for st in statements(lines):
        if st.code.startswith("#"):
            shared = []
            continue
        words, grouped, shared = commented(st, shared)
        head = st.code.split("{")[0].strip()
        space = re.match(r"^namespace\s+(\w+)\s*$", head)
        if space and "{" in st.code:
            found.append(Declaration([f"namespace {space.group(1)} {{"], words, grouped, kind="namespace"))
            found.extend(declarations_in(st.body[:-1], namespace + space.group(1) + "::"))
            found.append(Declaration([f"}}  // namespace {space.group(1)}"], [], kind="end"))
            continue
        match = re.match(r"^(class|struct)\s+(\w+)(\s+final)?\s*(:[^{]*)?$", head)
        if match and "{" in st.code:
            public = members(st.body[:-1], match.group(1) == "struct")
            found.append(Declaration([re.sub(r"\s+", " ", head) + " {"], words, grouped, public, match.group(1)))
            continue
        if re.match(r"^(class|struct)\s+\w+\s*;$", st.code):
            continue  # a forward declaration
        if st.code.startswith(("using ", "typedef ", "static_assert")):
            continue
        found.append(Declaration(declared(st), words, grouped, trailing=not st.comment and bool(st.trailing)))
    return found


def file_comment(text):
    lines = []
    for raw in text.splitlines():
        if not raw.startswith("//"):
            break
        lines.append(raw[2:].strip())
    return lines


def internal(comment):
    return " ".join(comment).strip().startswith(INTERNAL)


def wrapped(text, indent, width=100):
    """A comment as // lines of at most `width` columns."""
    words = text.split()
    lines, line = [], ""
    for word in words:
        if line and len(indent) + 3 + len(line) + 1 + len(word) > width:
            lines.append(line)
            line = word
        else:
            line = f"{line} {word}" if line else word
    lines.append(line)
    return [f"{indent}// {line}" for line in lines]


def code_block(found, path, missing):
    """The header's declarations as a block of C++ under their one-line comments."""
    out = []
    indent = ""
    for d in found:
        if d.kind == "end":
            indent = indent[:-4]
            out.append(indent + d.lines[0])
            continue
        if internal(d.comment):
            continue
        name = d.lines[0]
        lines = [indent + line for line in d.lines]
        if not d.grouped and out and out[-1] != "":
            out.append("")
        if not d.comment:
            missing.append(f"{path}: {name} has no comment")
        elif d.trailing:
            lines[-1] += "  // " + d.comment[0]
        elif not d.grouped:
            out.extend(wrapped(first_sentence(d.comment), indent))
        out.extend(lines)
        if d.kind == "namespace":
            indent += "    "
        if d.members is not None:
            if d.kind == "class":
                out.append(indent + "public:")
            inner = indent + "    "
            for m in d.members:
                if internal(m.comment):
                    continue
                lines = [inner + line for line in m.lines]
                if not m.comment:
                    missing.append(f"{path}: {name} {m.lines[0]} has no comment")
                elif m.trailing:
                    lines[-1] += "  // " + m.comment[0]
                elif not m.grouped:
                    if out[-1].strip() not in ("public:", "{"):
                        out.append("")
                    out.extend(wrapped(first_sentence(m.comment), inner))
                out.extend(lines)
            out.append(indent + "};")
    return out


def anchor(title):
    return re.sub(r"[^a-z0-9 -]", "", title.lower()).replace(" ", "-")


def page():
    missing = []
    with open(os.path.join(ROOT, SKELETON), encoding="utf-8") as f:
        skeleton = f.read().rstrip("\n")
    out = [HEADER_TEXT, START.replace("@SKELETON@", skeleton)]
    grouped = [path for _, paths in GROUPS for path in paths]
    for path in headers():
        if path not in grouped:
            text, _ = declarations(path)
            if not internal(file_comment(text)):
                missing.append(f"{path}: in no group of scripts/api-doc.py (or mark it \"{INTERNAL}\")")
    out.append("## The reference, by what a program does\n")
    out.extend(f"- [{title}](#{anchor(title)})" for title, _ in GROUPS)
    out.append("")
    for title, paths in GROUPS:
        out.append(f"## {title}\n")
        for path in paths:
            text, found = declarations(path)
            about = file_comment(text)
            out.append(f"### [{path}](../{path})\n")
            if about:
                out.append(first_sentence(about) + "\n")
            else:
                missing.append(f"{path}: no comment at the top of the header")
            out.append("```cpp")
            out.extend(code_block(found, path, missing))
            out.append("```\n")
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

#!/usr/bin/env python3
"""Checks the shape of src/: every include runs down the floors, and nothing reaches past
the doors the lower floors offer.

Floors, lowest first: platform; state; the subsystems (document, keyboard, editing,
processing, insertion, journal, pdf, spelling, tabs, project), which never include one
another; typography, which reads the prose with the spell checker's word scanner; app. A file
may include its own folder and any lower floor. Besides: the text of the editing control is
reached only through platform::TRichEdit (no QTextDocument via document() outside platform),
no window casts its parent to the main window, and the libraries link without a group.
"""
import pathlib
import re
import sys

FLOORS = {
    "platform": 0,
    "state": 1,
    "document": 2,
    "keyboard": 2,
    "editing": 2,
    "processing": 2,
    "insertion": 2,
    "journal": 2,
    "pdf": 2,
    "spelling": 2,
    "tabs": 2,
    "project": 2,
    "typography": 2.5,
    "app": 3,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)
DOCUMENT_CALL = re.compile(r"\bdocument\(\)")


def problems(src: pathlib.Path):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        relative = path.relative_to(src)
        folder = relative.parts[0]
        if folder not in FLOORS:
            yield f"{relative}: folder {folder} has no floor"
            continue
        text = path.read_text(encoding="utf-8")
        for target in INCLUDE.findall(text):
            if target == folder:
                continue
            if target not in FLOORS:
                yield f"{relative}: includes unknown folder {target}/"
            elif FLOORS[target] >= FLOORS[folder]:
                yield f"{relative}: includes {target}/, which is not below {folder}/"
        if folder != "platform" and DOCUMENT_CALL.search(text):
            yield f"{relative}: reaches the text through document(), past platform::TRichEdit"
        if "qobject_cast<TForm1" in text:
            yield f"{relative}: casts its parent to the main window"
    for cmake in sorted(src.rglob("CMakeLists.txt")):
        if "LINK_GROUP" in cmake.read_text(encoding="utf-8"):
            yield f"{cmake.relative_to(src)}: links its libraries as a group"


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    found = list(problems(src))
    for problem in found:
        print(problem)
    print(f"{len(found)} problem(s) in the shape of {src}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Checks every include of src/ against the layers drawn in README.md.

The drawing is the first code block under "## For developers": one line per layer, highest
first, each starting with the folders of that layer (a continuation line starts with "|").
A folder may include its own headers and those of lower layers, never a folder of its own
layer or one above it. A folder of src/ holding sources but missing from the drawing fails
the check, so a new folder is placed in a layer on purpose.
Prints each offending include and exits 1; prints the layer graph's size and exits 0 otherwise.
"""
import pathlib
import re
import sys


def layers_from_readme(readme: pathlib.Path, src: pathlib.Path) -> dict:
    text = readme.read_text(encoding="utf-8")
    section = text[text.index("## For developers"):]
    block = section.split("```", 2)[1]
    rows = []
    for line in block.splitlines():
        folders = []
        for token in line.split():
            if (src / token).is_dir():
                folders.append(token)
            else:
                break
        if folders:
            rows.append(folders)
    ranks = {}
    for rank, folders in enumerate(reversed(rows)):
        for folder in folders:
            ranks[folder] = rank
    return ranks


def folder_of(path: str) -> str:
    return path.rsplit("/", 1)[0] if "/" in path else ""


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    readme = pathlib.Path(sys.argv[2]) if len(sys.argv) > 2 else src.parent / "README.md"
    ranks = layers_from_readme(readme, src)
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    errors = []
    edges = set()
    for f in sorted(src.rglob("*")):
        if f.suffix not in (".h", ".cpp"):
            continue
        rel = f.relative_to(src).as_posix()
        here = folder_of(rel)
        if here not in ranks:
            errors.append(f"{rel}: folder {here!r} is in no layer of the README's drawing")
            continue
        for n, line in enumerate(f.read_text(encoding="utf-8").splitlines(), 1):
            m = include.match(line)
            if not m or "/" not in m.group(1):
                continue
            there = folder_of(m.group(1))
            if there == here:
                continue
            if there not in ranks:
                errors.append(f"{rel}:{n}: includes {m.group(1)} from a folder in no layer")
                continue
            edges.add((here, there))
            if ranks[there] >= ranks[here]:
                errors.append(f"{rel}:{n}: {here} (layer {ranks[here]}) includes {m.group(1)} "
                              f"(layer {ranks[there]})")
    for e in errors:
        print(e)
    if errors:
        return 1
    print(f"layers respected: {len(ranks)} folders, {len(edges)} folder dependencies, "
          "all downwards")
    return 0


if __name__ == "__main__":
    sys.exit(main())

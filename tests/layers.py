#!/usr/bin/env python3
"""Checks that every folder of src/ includes only folders of the layers below it.

Layers, lowest first (a folder may include its own headers and those of lower layers):
  0 core, record/datafile   base
  1 forms                   window models
  1 library, debrief        the dive library (SQLite); the debrief's summary and lanes
  2 sim                     the simulation object
  3 loop                    the loop model
  4 handset, controls, failures, dialogs, record
  5 app                     the wiring
  6 station, access         the instructor station's state and commands; the keyboard and
                            screen-reader access to the main window
  7 any qt/ folder, viewer  the Qt programs
A folder not listed fails the check, so a new folder is placed in a layer on purpose.
Prints each offending include and exits 1; prints the layer graph's size and exits 0 otherwise.
"""
import pathlib
import re
import sys

RANKS = {
    "core": 0, "record/datafile": 0,
    "forms": 1, "library": 1, "debrief": 1,
    "sim": 2,
    "loop": 3,
    "handset": 4, "controls": 4, "failures": 4, "dialogs": 4, "record": 4,
    "app": 5,
    "station": 6, "access": 6,
    "viewer": 7,
}
QT_RANK = 7


def folder_of(path: str) -> str:
    return path.rsplit("/", 1)[0] if "/" in path else ""


def rank(folder: str):
    if folder == "qt" or folder.endswith("/qt"):
        return QT_RANK
    best = None
    for name, r in RANKS.items():
        if folder == name or folder.startswith(name + "/"):
            if best is None or len(name) > len(best[0]):
                best = (name, r)
    return best


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    errors = []
    edges = set()
    for f in sorted(src.rglob("*")):
        if f.suffix not in (".h", ".cpp"):
            continue
        rel = f.relative_to(src).as_posix()
        here = folder_of(rel)
        mine = rank(here)
        if mine is None:
            errors.append(f"{rel}: folder {here!r} is in no layer")
            continue
        mine_rank = mine if isinstance(mine, int) else mine[1]
        for n, line in enumerate(f.read_text(encoding="utf-8").splitlines(), 1):
            m = include.match(line)
            if not m or "/" not in m.group(1):
                continue
            there = folder_of(m.group(1))
            if there == here:
                continue
            theirs = rank(there)
            if theirs is None:
                errors.append(f"{rel}:{n}: includes {m.group(1)} from a folder in no layer")
                continue
            theirs_rank = theirs if isinstance(theirs, int) else theirs[1]
            edges.add((here, there))
            if theirs_rank >= mine_rank and mine_rank != QT_RANK:
                errors.append(f"{rel}:{n}: {here} (layer {mine_rank}) includes {m.group(1)} "
                              f"(layer {theirs_rank})")
    for e in errors:
        print(e)
    if errors:
        return 1
    print(f"layers respected: {len(edges)} folder dependencies, all downwards")
    return 0


if __name__ == "__main__":
    sys.exit(main())

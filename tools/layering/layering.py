#!/usr/bin/env python3
"""Checks that the folders under src/ include each other only downward.

The table below is the one place that says which floor each folder stands on.
A file may include files of its own folder and of folders on lower floors, with
one exception the engine's design asks for: the layer stack and the undo store
call each other. Libraries (floor below ENGINE_FLOOR) know nothing of the engine,
and nothing includes exports/.

    layering.py [SRC_DIR]    prints every offending include; exits 1 if any
"""
import os
import re
import sys

FLOORS = {
    # Libraries: image views and plain values, no engine state.
    "imaging": 1,      # filters, geometry, tone and artistic families over image views
    "codecs": 2,       # file decoders and encoders, deflate, DIB blocks, metafiles
    "platform": 3,     # operating-system services, posix/ and win32/ backends
    "draw": 4,         # text, shapes, region and gradient fills, sampled curves
    "imagescript": 5,  # numbered image-script effects and the script renderer
    # The engine.
    "core": 10,        # the engine record, tool settings, last error, guard, generator, colour
    "layers": 20,      # layer stack, compositor, paint layer, loaders, IPL images
    "undo": 20,        # undo store and layer transfer
    "brush": 30,       # tips, grit, brush mix modes, dabs, splines, setters
    "mask": 30,        # the mask, its builders, selection and fill tools
    "view": 40,        # the view renderer
    "ipl": 40,         # whole-canvas geometry, drawing tools, text
    "script": 40,      # Lua filters and paint scripts
    "effects": 50,     # the named-effect dispatcher, its table and rows, in-house effects
    "canvas": 60,      # create, resize and delete the canvas
    "io": 60,          # files, clipboard, tablet, movies, PDF, scanner
    "exports": 70,     # the CVL_* entry points; nobody includes them
}
ENGINE_FLOOR = 10
MUTUAL = {frozenset(("layers", "undo"))}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCE = (".h", ".hpp", ".c", ".cpp", ".inc")


def folder_includes(src):
    """Yields (file, line number, including folder, included folder) for every
    quoted include that names another top-level folder of src."""
    for dirpath, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith(SOURCE):
                continue
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, src)
            here = rel.split(os.sep)[0]
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m or "/" not in m.group(1):
                        continue
                    there = m.group(1).split("/")[0]
                    if there != here and os.path.isdir(os.path.join(src, there)):
                        yield rel, number, here, there


def problems(src):
    found = []
    for folder in sorted(os.listdir(src)):
        if os.path.isdir(os.path.join(src, folder)) and folder not in FLOORS:
            found.append(f"src/{folder}/: not in the floor table of {os.path.basename(__file__)}")
    for rel, number, here, there in folder_includes(src):
        where = f"src/{rel}:{number}: {here}/ includes {there}/"
        if here not in FLOORS or there not in FLOORS:
            continue  # reported above
        if there == "exports":
            found.append(f"{where}: nothing includes exports/")
        elif FLOORS[here] < ENGINE_FLOOR <= FLOORS[there]:
            found.append(f"{where}: a library includes an engine folder")
        elif FLOORS[there] > FLOORS[here]:
            found.append(f"{where}: an include up a floor ({FLOORS[here]} to {FLOORS[there]})")
        elif FLOORS[there] == FLOORS[here] and frozenset((here, there)) not in MUTUAL:
            found.append(f"{where}: folders on one floor ({FLOORS[here]}) may not include each other")
    return found


def main(argv):
    src = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "src")
    found = problems(src)
    for p in found:
        print(p)
    if found:
        print(f"layering: {len(found)} include(s) break the floors", file=sys.stderr)
        return 1
    print(f"layering: {len(FLOORS)} folders, every include goes down a floor")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

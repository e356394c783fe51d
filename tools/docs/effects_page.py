#!/usr/bin/env python3
"""Writes docs/effects.md from the engine's own effect table, or checks it.

The page lists every named effect with its description, its frame and each
argument it reads (name, range, default, unit, meaning), read through the
library's CVL_IPLEffectInfo, CVL_IPLEffectDescription and
CVL_IPLEffectArgumentInfo, so the table in code stays the single source.

    effects_page.py LIBRARY --write PAGE   writes the page
    effects_page.py LIBRARY --check PAGE   exits 1 when the page differs from the table
"""
import ctypes
import difflib
import sys

_str = ctypes.c_char_p


def _lib(path):
    lib = ctypes.CDLL(path)
    lib.CVL_IPLEffectInfo.restype = _str
    lib.CVL_IPLEffectInfo.argtypes = [ctypes.c_int32, ctypes.POINTER(_str), ctypes.POINTER(_str)]
    lib.CVL_IPLEffectDescription.restype = _str
    lib.CVL_IPLEffectDescription.argtypes = [ctypes.c_int32, ctypes.POINTER(_str)]
    lib.CVL_IPLEffectArgumentInfo.restype = _str
    dbl = ctypes.POINTER(ctypes.c_double)
    lib.CVL_IPLEffectArgumentInfo.argtypes = [ctypes.c_int32, ctypes.c_int32, ctypes.POINTER(_str),
                                              ctypes.POINTER(_str), dbl, dbl, dbl, ctypes.POINTER(_str)]
    return lib


def _text(raw):
    return raw.decode("utf-8") if raw else ""


def _number(value):
    return f"{value:g}"


def effects(lib):
    """Yields (name, frame, frame description, description, [argument dicts]) in table order."""
    index = 0
    while True:
        frame, reads = _str(), _str()
        name = lib.CVL_IPLEffectInfo(index, ctypes.byref(frame), ctypes.byref(reads))
        if not name:
            return
        frame_line = _str()
        description = lib.CVL_IPLEffectDescription(index, ctypes.byref(frame_line))
        args = []
        k = 0
        while True:
            label, unit, meaning = _str(), _str(), _str()
            lo, hi, default = ctypes.c_double(), ctypes.c_double(), ctypes.c_double()
            arg = lib.CVL_IPLEffectArgumentInfo(index, k, ctypes.byref(label), ctypes.byref(unit), ctypes.byref(lo),
                                                ctypes.byref(hi), ctypes.byref(default), ctypes.byref(meaning))
            if not arg:
                break
            args.append({"arg": _text(arg), "name": _text(label.value), "unit": _text(unit.value), "min": lo.value,
                         "max": hi.value, "default": default.value, "meaning": _text(meaning.value)})
            k += 1
        yield _text(name), _text(frame.value), _text(frame_line.value), _text(description), args
        index += 1


def _cell(text):
    return text.replace("|", "\\|")


def page(lib):
    rows = list(effects(lib))
    out = ["# Effects", "",
           "<!-- Written by tools/docs/effects_page.py from the engine's effect table; do not edit by hand. -->", "",
           f"`CVL_IPLImageProcess` runs {len(rows)} named effects on the current layer (both RGBA32 IPL buffers "
           "allocated). Names are exact. Sliders are given here in slider units, as a host shows them; the call "
           "takes tenths (slider 50 is passed as 500), and `corvel effect --s1 50` takes slider units. An argument "
           "an effect does not read is ignored. Hosts read the same table through `CVL_IPLEffectInfo`, "
           "`CVL_IPLEffectDescription` and `CVL_IPLEffectArgumentInfo`, or `corvel effects --json`.", ""]
    out += [f"- [{name}](#{name.lower().replace(' ', '-')})" for name, *_ in rows]
    out.append("")
    for name, frame, frame_line, description, args in rows:
        out += [f"## {name}", "", description or "(not described)", "", f"Frame `{frame}`: {frame_line}.", ""]
        if args:
            out += ["| Argument | Name | Range | Default | Unit | Meaning |", "|---|---|---|---|---|---|"]
            for a in args:
                span = "" if a["arg"] == "text" else f"{_number(a['min'])} to {_number(a['max'])}"
                default = "" if a["arg"] == "text" else _number(a["default"])
                out.append(f"| `{a['arg']}` | {_cell(a['name'])} | {span} | {default} | {_cell(a['unit'])} | "
                           f"{_cell(a['meaning'])} |")
        else:
            out.append("Reads no argument.")
        out.append("")
    return "\n".join(out)


def main(argv):
    if len(argv) != 4 or argv[2] not in ("--write", "--check"):
        print(__doc__.strip().splitlines()[-2:], file=sys.stderr)
        return 2
    text = page(_lib(argv[1]))
    if argv[2] == "--write":
        with open(argv[3], "w", encoding="utf-8") as f:
            f.write(text)
        return 0
    try:
        with open(argv[3], encoding="utf-8") as f:
            current = f.read()
    except OSError as e:
        print(f"effects_page: cannot read {argv[3]}: {e.strerror}", file=sys.stderr)
        return 1
    if current == text:
        return 0
    sys.stdout.writelines(difflib.unified_diff(current.splitlines(True), text.splitlines(True), argv[3], "table"))
    print(f"\neffects_page: {argv[3]} differs from the effect table; run "
          f"tools/docs/effects_page.py {argv[1]} --write {argv[3]}", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))

"""The engine's named image effects and the arguments each one reads.

The list comes from the engine itself (``CVL_IPLEffectInfo``), the same table that
``corvel effects`` prints, so a name or an argument the engine does not know is
refused here before anything runs.
"""
from __future__ import annotations

import ctypes
import os
import re
from dataclasses import dataclass
from typing import Dict, FrozenSet, Optional, Tuple

from ._lib import Error

#: Every argument the effect call takes, by its Python keyword.
SLIDERS = tuple(f"s{k}" for k in range(1, 7))
FLAGS = tuple(f"f{k}" for k in range(1, 7))
ARGUMENTS = SLIDERS + ("option", "i1", "i2") + FLAGS + ("color", "text")
#: Sliders are set in their own units, 0..100; the engine takes them in tenths.
SLIDER_RANGE = (0.0, 100.0)

# "all" is every argument the engine's own effects take; the Lua filter row lists
# its exceptions against the whole call.
_IN_HOUSE = frozenset(SLIDERS + FLAGS + ("option", "i2", "color"))
_WHOLE_CALL = frozenset(ARGUMENTS)


@dataclass(frozen=True)
class EffectInfo:
    """One named effect: its name, the frame it runs in and the keywords it reads."""

    name: str
    frame: str
    reads: FrozenSet[str]
    #: The engine's own wording of what it reads, as ``corvel effects`` prints it.
    reads_text: str


def _keyword(word: str) -> Tuple[str, ...]:
    word = word.strip()
    if word == "colour" or word == "the colour":
        return ("color",)
    if re.fullmatch(r"[sS][1-6]", word):
        return (word.lower(),)
    span = re.fullmatch(r"[sS]([1-6]) to [sS]([1-6])", word)
    if span:
        return tuple(f"s{k}" for k in range(int(span[1]), int(span[2]) + 1))
    if word in ARGUMENTS:
        return (word,)
    raise ValueError(f"unreadable argument {word!r} in the effect table")


def parse_reads(text: str) -> FrozenSet[str]:
    """The keywords named by an effect's "reads" text ("s1, s2, option", "all", "s1 to s4", ...)."""
    text = text.strip()
    if not text or text == "none":
        return frozenset()
    if text == "all":
        return _IN_HOUSE
    if text.startswith("all but "):
        left = set(_WHOLE_CALL)
        for word in text[len("all but "):].split(" and "):
            left -= set(_keyword(word))
        return frozenset(left)
    return frozenset(k for word in text.split(",") for k in _keyword(word))


_table: Optional[Dict[str, EffectInfo]] = None


def effect_table(lib: ctypes.CDLL) -> Dict[str, EffectInfo]:
    """Every effect name the engine takes, in the order it tests them."""
    global _table
    if _table is None:
        table: Dict[str, EffectInfo] = {}
        frame, reads = ctypes.c_char_p(), ctypes.c_char_p()
        index = 0
        while True:
            name = lib.CVL_IPLEffectInfo(index, ctypes.byref(frame), ctypes.byref(reads))
            if not name:
                break
            text = (reads.value or b"").decode()
            info = EffectInfo(name.decode(), (frame.value or b"").decode(), parse_reads(text), text)
            table[info.name] = info
            index += 1
        _table = table
    return _table


def call_arguments(info: EffectInfo, given: Dict[str, object]) -> list:
    """The dispatcher's arguments after the name for ``given`` keywords, checked against ``info``.
    Raises Error naming the keywords the effect does not read, or a value out of range."""
    unknown = sorted(set(given) - info.reads)
    if unknown:
        takes = ", ".join(k for k in ARGUMENTS if k in info.reads) or "nothing"
        raise Error(f'effect "{info.name}" does not read {", ".join(unknown)} (it reads {takes})')
    tenths = []
    for key in SLIDERS:
        v = float(given.get(key, 0))
        if not SLIDER_RANGE[0] <= v <= SLIDER_RANGE[1]:
            raise Error(f'{key} of "{info.name}" must be within 0..100, not {v:g}')
        tenths.append(int(round(v * 10)))
    flags = [int(bool(given.get(k, False))) for k in FLAGS]
    color = tuple(int(c) for c in given.get("color", (0, 0, 0)))  # type: ignore[union-attr]
    if len(color) != 3 or not all(0 <= c <= 255 for c in color):
        raise Error(f'color of "{info.name}" must be three values 0..255, not {color}')
    text = given.get("text", "")
    option, i1, i2 = (int(given.get(k, 0)) for k in ("option", "i1", "i2"))  # type: ignore[call-overload]
    return [i1, *tenths, option, i2, *flags, *color, os.fsencode(text)]

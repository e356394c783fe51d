"""The engine's named image effects: what each does, the arguments it reads, and their
names, units, ranges and defaults.

The list comes from the engine itself (``CVL_IPLEffectInfo``, ``CVL_IPLEffectDescription``
and ``CVL_IPLEffectArgumentInfo``), the same table that ``corvel effects`` prints, so a
name, an argument or a value the engine does not take is refused here before anything runs.
"""
from __future__ import annotations

import ctypes
import os
import re
from dataclasses import dataclass, field
from typing import Dict, FrozenSet, Mapping, Optional, Tuple

from . import _checks, _lib
from ._lib import Error

#: Every argument the effect call takes, by its Python keyword.
SLIDERS = tuple(f"s{k}" for k in range(1, 7))
FLAGS = tuple(f"f{k}" for k in range(1, 7))
ARGUMENTS = SLIDERS + ("option", "i1", "i2") + FLAGS + ("color", "text")
#: A slider without a described range is set in 0..100; the engine takes it in tenths.
SLIDER_RANGE = (0.0, 100.0)
_INT32 = (-2**31, 2**31 - 1)

# "all" is every argument the engine's own effects take; the Lua filter row lists
# its exceptions against the whole call.
_IN_HOUSE = frozenset(SLIDERS + FLAGS + ("option", "i2", "color"))
_WHOLE_CALL = frozenset(ARGUMENTS)


@dataclass(frozen=True)
class ArgumentInfo:
    """One argument an effect reads, as the engine describes it."""

    keyword: str  # the Python keyword: "s1".."s6", "option", "i1", "i2", "f1".."f6", "color", "text"
    name: str  # the short name a control would show ("Radius", "Angle")
    unit: str  # "px", "degrees", "%", or "" for a plain number
    min: float
    max: float
    default: float  # a value that shows the effect plainly
    meaning: str  # what the value does


@dataclass(frozen=True)
class EffectInfo:
    """One named effect: its name, the frame it runs in and the keywords it reads, with the
    engine's description of the effect and of each argument where it has one."""

    name: str
    frame: str
    reads: FrozenSet[str]
    #: The engine's own wording of what it reads, as ``corvel effects`` prints it.
    reads_text: str
    description: str = ""
    frame_description: str = ""
    #: The described arguments by keyword; an effect may read arguments it does not describe yet.
    arguments: Mapping[str, ArgumentInfo] = field(default_factory=dict)


def _keyword(word: str) -> Tuple[str, ...]:
    word = word.strip()
    if word in ("colour", "the colour"):
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


def _text(value: Optional[bytes]) -> str:
    return value.decode("utf-8", "replace") if value else ""


def _arguments(lib: ctypes.CDLL, index: int) -> Dict[str, ArgumentInfo]:
    if not hasattr(lib, "CVL_IPLEffectArgumentInfo"):
        return {}
    name, unit, meaning = ctypes.c_char_p(), ctypes.c_char_p(), ctypes.c_char_p()
    low, high, default = ctypes.c_double(), ctypes.c_double(), ctypes.c_double()
    out: Dict[str, ArgumentInfo] = {}
    k = 0
    while True:
        arg = lib.CVL_IPLEffectArgumentInfo(index, k, ctypes.byref(name), ctypes.byref(unit), ctypes.byref(low),
                                            ctypes.byref(high), ctypes.byref(default), ctypes.byref(meaning))
        if not arg:
            return out
        keyword = _keyword(_text(arg))[0]
        out[keyword] = ArgumentInfo(keyword, _text(name.value), _text(unit.value), low.value, high.value,
                                    default.value, _text(meaning.value))
        k += 1


_table: Optional[Dict[str, EffectInfo]] = None


def effects() -> Dict[str, EffectInfo]:
    """Every named image effect the engine takes, in its testing order: the keywords each
    reads, what it does and its arguments' names, units, ranges and defaults (the table
    ``corvel effects`` prints). Effects the engine does not describe yet have an empty
    description and no ``arguments``."""
    global _table
    if _table is None:
        lib = _lib.handle()
        table: Dict[str, EffectInfo] = {}
        frame, reads, frame_text = ctypes.c_char_p(), ctypes.c_char_p(), ctypes.c_char_p()
        described = hasattr(lib, "CVL_IPLEffectDescription")
        index = 0
        while True:
            name = lib.CVL_IPLEffectInfo(index, ctypes.byref(frame), ctypes.byref(reads))
            if not name:
                break
            description = lib.CVL_IPLEffectDescription(index, ctypes.byref(frame_text)) if described else None
            info = EffectInfo(_text(name), _text(frame.value), parse_reads(_text(reads.value)), _text(reads.value),
                              _text(description), _text(frame_text.value) if described else "",
                              _arguments(lib, index))
            table[info.name] = info
            index += 1
        _table = table
    return dict(_table)


def _range(info: EffectInfo, key: str, fallback: Tuple[float, float]) -> Tuple[float, float]:
    described = info.arguments.get(key)
    return (described.min, described.max) if described else fallback


def call_arguments(info: EffectInfo, given: Mapping[str, object]) -> list:
    """The dispatcher's arguments after the name for ``given`` keywords, checked against ``info``.
    Raises Error naming the keywords the effect does not read, ValueError for a value out of
    its (described) range and TypeError for a value of the wrong kind."""
    unknown = sorted(set(given) - info.reads)
    if unknown:
        takes = ", ".join(k for k in ARGUMENTS if k in info.reads) or "nothing"
        raise Error(f'effect "{info.name}" does not read {", ".join(unknown)} (it reads {takes})')

    def checked(key: str, check, fallback_range=None, unset=0):
        """The given value checked (against its described range where there is one); unset is 0."""
        if key not in given:
            return unset
        where = f'{key} of "{info.name}"'
        if fallback_range is None:
            return check(given[key], where)
        return check(given[key], where, *_range(info, key, fallback_range))

    tenths = [int(round(checked(k, _checks.real, SLIDER_RANGE) * 10)) for k in SLIDERS]
    option, i1, i2 = (int(checked(k, _checks.integer, _INT32)) for k in ("option", "i1", "i2"))
    flags = [int(checked(k, _checks.flag)) for k in FLAGS]
    color = checked("color", _checks.rgb, unset=(0, 0, 0))
    text = given.get("text", "")
    if not isinstance(text, (str, os.PathLike)):
        raise TypeError(f'text of "{info.name}" must be a path, not {text!r}')
    if text and not os.path.isfile(text):
        raise Error(f'effect "{info.name}": no file {os.fspath(text)}')
    return [i1, *tenths, option, i2, *flags, *color, os.fsencode(text)]

"""Checks on the values callers hand in: a wrong type raises TypeError, a value out of
its range ValueError, each naming the argument and what it takes."""
from __future__ import annotations

import math
import numbers
import operator
from typing import Mapping, Optional, Sequence, Tuple, Union

import numpy as np


def integer(value: object, what: str, low: Optional[int] = None, high: Optional[int] = None) -> int:
    """A whole number (int or numpy integer, not bool or float) within low..high."""
    if isinstance(value, bool):
        raise TypeError(f"{what} must be a whole number, not {value!r}")
    try:
        v = operator.index(value)  # type: ignore[arg-type]
    except TypeError:
        raise TypeError(f"{what} must be a whole number, not {type(value).__name__} {value!r}") from None
    if (low is not None and v < low) or (high is not None and v > high):
        raise ValueError(f"{what} must be within {_span(low, high)}, not {v}")
    return v


def real(value: object, what: str, low: Optional[float] = None, high: Optional[float] = None) -> float:
    """A finite number within low..high."""
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"{what} must be a number, not {type(value).__name__} {value!r}")
    v = float(value)
    if not math.isfinite(v):
        raise ValueError(f"{what} must be finite, not {v}")
    if (low is not None and v < low) or (high is not None and v > high):
        raise ValueError(f"{what} must be within {_span(low, high)}, not {v:g}")
    return v


def flag(value: object, what: str) -> bool:
    """True, False, 1 or 0."""
    if isinstance(value, (bool, np.bool_)) or (isinstance(value, numbers.Integral) and value in (0, 1)):
        return bool(value)
    raise TypeError(f"{what} must be True or False, not {value!r}")


def rgb(value: object, what: str) -> Tuple[int, int, int]:
    """Three whole numbers 0..255."""
    if isinstance(value, (str, bytes)) or not isinstance(value, (Sequence, np.ndarray)):
        raise TypeError(f"{what} must be (r, g, b), not {value!r}")
    if len(value) != 3:
        raise ValueError(f"{what} must be three values (r, g, b), not {len(value)}")
    r, g, b = (integer(c, f"{what} channel", 0, 255) for c in value)
    return r, g, b


def named(value: Union[str, int], what: str, names: Mapping[int, str]) -> int:
    """The number of a choice given by its name (any case) or its number."""
    if isinstance(value, str):
        for number, name in names.items():
            if name.lower() == value.lower():
                return number
        raise ValueError(f'unknown {what} "{value}" (one of: {", ".join(names.values())})')
    number = integer(value, what)
    if number not in names:
        raise ValueError(f"unknown {what} {number} (numbers: {', '.join(map(str, names))})")
    return number


def pixels(value: object, shape: Tuple[int, ...]) -> np.ndarray:
    """A contiguous uint16 array of the shape: uint16 as given, uint8 widened by 257
    (0 stays 0, 255 becomes 65535). Other element types are refused rather than
    converted, since a cast would silently store something else."""
    a = np.asarray(value)
    if a.dtype == np.uint8:
        a = a.astype(np.uint16) * 257
    elif a.dtype != np.uint16:
        raise TypeError(f"pixels must be a uint16 array (or uint8, widened by 257), not {a.dtype}")
    if a.shape != shape:
        raise ValueError(f"pixels must have shape {shape}, not {a.shape}")
    return np.ascontiguousarray(a)


def _span(low: Optional[float], high: Optional[float]) -> str:
    if high is None:
        return f"{low:g}.." if low is not None else "any"
    return f"{low:g}..{high:g}" if low is not None else f"..{high:g}"

"""Misuse from Python: every kind of bad value is refused with TypeError, ValueError or
corvel.Error, and none of them hangs or grows without bound. Each case runs in a fresh
interpreter under a time limit and a cap on its memory."""
import resource
import subprocess
import sys
import textwrap
from pathlib import Path

import pytest

PACKAGE = str(Path(__file__).resolve().parents[1])
SECONDS = 30
MEMORY = 2 << 30


def _capped() -> None:
    resource.setrlimit(resource.RLIMIT_AS, (MEMORY, MEMORY))


def outcome(body: str) -> str:
    """What the body does on a fresh 30 x 20 canvas `c`: the last line it prints, or
    "TypeName: message" for the exception it raises."""
    program = f"""
import sys
sys.path.insert(0, {PACKAGE!r})
import numpy as np
import corvel
c = corvel.Canvas(30, 20)
try:
{textwrap.indent(body, "    ")}
except Exception as e:
    print(f"{{type(e).__name__}}: {{e}}")
"""
    try:
        done = subprocess.run([sys.executable, "-c", program], capture_output=True, text=True, timeout=SECONDS,
                              preexec_fn=_capped)
    except subprocess.TimeoutExpired:
        pytest.fail(f"still running after {SECONDS} s: {body}")
    assert done.returncode == 0, done.stderr
    return done.stdout.strip().splitlines()[-1]


CASES = {
    # Stroke points must be finite; far ones place only the dabs that can reach the canvas.
    "stroke nan": ("c.stroke([(float('nan'), 5), (10, 10)])", "ValueError: stroke x must be finite, not nan"),
    "stroke inf": ("c.stroke([(5, float('-inf')), (10, 10)])", "ValueError: stroke y must be finite, not -inf"),
    "stroke far": ("print(c.stroke([(-1e9, 5), (1e9, 10)]))", r"^\d{1,2}$"),
    "stroke huge": ("print(c.stroke([(-1e308, -1e308), (1e308, 1e308)] * 1000))", r"^\d+$"),
    "stroke text": ("c.stroke([('1', 5)])", "TypeError: stroke x must be a number"),
    "pressure": ("c.stroke([(1, 1), (5, 5)], pressure=[0.5, 1.5])", "ValueError: pressure must be within 0..1"),
    # Pixels: uint16 of the layer's shape, or uint8 widened; anything else is refused, not cast.
    "float pixels": ("c.layers[1].pixels = np.full((20, 30, 4), 0.5)", "TypeError: .*uint16.*not float64"),
    "signed pixels": ("c.layers[1].pixels = np.full((20, 30, 4), -1, np.int32)", "TypeError: .*not int32"),
    "list pixels": ("c.layers[1].pixels = [[[1, 2, 3, 4]] * 30] * 20", "TypeError: .*not int64"),
    "shape": ("c.layers[1].pixels = np.zeros((30, 20, 4), np.uint16)", r"ValueError: .*shape \(20, 30, 4\)"),
    "uint8 pixels": ("c.layers[1].pixels = np.full((20, 30, 4), 255, np.uint8); print(c.layers[1].pixels.min())",
                     "^65535$"),
    # Modes by name or number, read back as names.
    "mode name": ("c.layers[1].mode = 'Nope'", 'ValueError: unknown layer mode "Nope"'),
    "mode number": ("c.layers[1].mode = 3; print(c.layers[1].mode)", "^Darken$"),
    "mode 41": ("c.layers[1].mode = 41", "ValueError: unknown layer mode 41"),
    "mode nameless": ("c.layers[1].mode = 20", "ValueError: unknown layer mode 20"),
    "opacity": ("c.layers[1].opacity = 150", "ValueError: opacity must be within 0..100, not 150"),
    # Brush values within their ranges.
    "brush size": ("c.brush(size=-5)", "ValueError: size must be within 1..255, not -5"),
    "brush float": ("c.brush(size=2.5)", "TypeError: size must be a whole number"),
    "brush color": ("c.brush(color=(300, 0, 0))", "ValueError: color channel must be within 0..255"),
    "brush mode": ("c.brush(mode=7)", "ValueError: unknown brush mode 7"),
    "brush spacing": ("c.brush(spacing=float('inf'))", "ValueError: spacing must be finite"),
    # The canvas itself.
    "canvas size": ("corvel.Canvas(0, 5)", "ValueError: width must be within 1..10000"),
    "second canvas": ("corvel.Canvas(5, 5)", "Error: a Canvas is already open"),
    "dropped canvas": ("del c\nd = corvel.Canvas(5, 5)\nprint(d.width)", "^5$"),
    "layer limit": ("[c.add_layer() for _ in range(60)]", "Error: a canvas holds at most 63 layers"),
    "current layer": ("c.current_layer = 4", "ValueError: current_layer must be within 0..3"),
    # Effects.
    "effect slider": ("c.effect('Blur', s1=1e9)", 'ValueError: s1 of "Blur" must be within 0..100'),
    "effect keyword": ("c.effect('Negative', s1=5)", 'Error: effect "Negative" does not read s1'),
}


@pytest.mark.parametrize("body,expected", CASES.values(), ids=CASES.keys())
def test_misuse_is_refused_in_time(body, expected):
    import re

    got = outcome(body)
    assert re.search(expected, got), got

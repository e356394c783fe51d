"""Paint with the corvel engine from Python.

Plain ctypes over ``libcorvel.so`` (found through ``$CORVEL_LIB``, next to this
package, or on the library path); pixels go in and out as numpy arrays of
16-bit RGBA, the engine's own layer format.

    with corvel.Canvas(320, 200) as canvas:
        canvas.brush(size=24, color=(200, 30, 30))
        canvas.stroke([(20, 100), (160, 40), (300, 160)])
        canvas.save("stroke.png")
"""
from __future__ import annotations

import ctypes
import math
import os
from typing import Dict, Iterable, Optional, Sequence, Tuple, Union

import numpy as np

from . import _lib
from ._lib import Error
from .effects import EffectInfo, call_arguments, effect_table

__all__ = ["Canvas", "Layer", "Error", "EffectInfo", "effects"]

_engine: Optional[ctypes.CDLL] = None
_live: Optional["Canvas"] = None

#: Layer slots a canvas makes: 1 is the white paper, 2 the first paint layer.
LAYER_COUNT = 4
_MAX_BRUSH = 255


def _lib_handle() -> ctypes.CDLL:
    global _engine
    if _engine is None:
        _engine = _lib.load()
    return _engine


def effects() -> Dict[str, EffectInfo]:
    """Every named image effect the engine takes, in its testing order, with the keywords
    each reads (the table ``corvel effects`` prints)."""
    return dict(effect_table(_lib_handle()))


def _last_error() -> str:
    text = _lib_handle().CVL_GetLastError()
    return text.decode("utf-8", "replace") if text else ""


def _fail(what: str) -> Error:
    detail = _last_error()
    return Error(f"{what}: {detail}" if detail else what)


def _u16p(a: np.ndarray):
    return a.ctypes.data_as(ctypes.POINTER(ctypes.c_uint16))


class Layer:
    """One layer slot of a canvas: pixels, mix mode, opacity and visibility."""

    def __init__(self, canvas: "Canvas", slot: int) -> None:
        self._canvas = canvas
        self.slot = slot
        self._mode = "Normal"
        self._opacity = 100
        self._visible = True

    def _apply(self) -> None:
        self._canvas._check()
        _lib_handle().CVL_SetLayerOptions(self.slot, int(self._visible), 0, int(self._opacity), self._mode.encode())

    @property
    def pixels(self) -> np.ndarray:
        """A copy of the layer as a (height, width, 4) uint16 array; assign an array of that shape to replace it."""
        c = self._canvas
        c._check()
        out = np.zeros((c.height, c.width, 4), dtype=np.uint16)
        _lib_handle().CVL_GetRGBA64Layer(_u16p(out), c.width * 8, self.slot)
        return out

    @pixels.setter
    def pixels(self, value: np.ndarray) -> None:
        c = self._canvas
        c._check()
        a = np.ascontiguousarray(value, dtype=np.uint16)
        if a.shape != (c.height, c.width, 4):
            raise ValueError(f"pixels must have shape {(c.height, c.width, 4)}, not {a.shape}")
        if _lib_handle().CVL_SetRGBA64Layer(_u16p(a), c.width * 8, self.slot) != c.height:
            raise _fail(f"layer {self.slot} could not take the pixels")

    @property
    def mode(self) -> str:
        """The layer's mix mode name ("Normal", "Multiply", ...)."""
        return self._mode

    @mode.setter
    def mode(self, name: str) -> None:
        self._mode = str(name)
        self._apply()

    @property
    def opacity(self) -> int:
        """Opacity in percent, 0..100."""
        return self._opacity

    @opacity.setter
    def opacity(self, percent: int) -> None:
        self._opacity = max(0, min(100, int(percent)))
        self._apply()

    @property
    def visible(self) -> bool:
        """Whether the layer takes part in the merged picture."""
        return self._visible

    @visible.setter
    def visible(self, on: bool) -> None:
        self._visible = bool(on)
        self._apply()


class Canvas:
    """The engine's one canvas. Use as a context manager; only one may be live per process."""

    def __init__(self, width: int, height: int, *, seed: int = 1, undo_levels: int = 16) -> None:
        global _live
        if _live is not None:
            raise Error("a Canvas is already open; the engine holds one canvas per process (close it first)")
        if not (0 < width <= 10000 and 0 < height <= 10000):
            raise ValueError("width and height must be 1..10000")
        lib = _lib_handle()
        self.width, self.height = int(width), int(height)
        lib.CVL_SetRandomSeed(seed)
        lib.CVL_IPLInit(0)
        lib.CVL_CreateImage(None, self.width, self.height, _MAX_BRUSH + 1, 0)
        lib.CVL_SetUndoLevels(undo_levels)
        lib.CVL_SetUndoMB(0)
        for slot in range(1, LAYER_COUNT + 1):
            if not lib.CVL_CreateLayer(slot, self.width, self.height):
                lib.CVL_DeleteImage()
                raise _fail(f"could not create layer {slot}")
        self._open = True
        _live = self
        self.layers = [Layer(self, slot) for slot in range(1, LAYER_COUNT + 1)]
        for layer in self.layers:
            layer._apply()
        self._current = 2
        self.brush()
        self.current_layer = 1  # index into layers: the first paint layer above the paper

    # -- lifetime ---------------------------------------------------------------
    def close(self) -> None:
        """Releases the canvas; the object is unusable afterwards."""
        global _live
        if self._open:
            _lib_handle().CVL_DeleteImage()
            self._open = False
            _live = None

    def __enter__(self) -> "Canvas":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    def _check(self) -> None:
        if not self._open:
            raise Error("the canvas is closed")

    @classmethod
    def open(cls, path: str, **kwargs) -> "Canvas":
        """A canvas the size of an image file, with the picture on the paper layer."""
        lib = _lib_handle()
        if not lib.CVL_ReadFromFile(os.fsencode(path)):
            raise _fail(f"cannot read {path}")
        w, h = lib.CVL_GetNewRGBAWidth(), lib.CVL_GetNewRGBAHeight()
        try:
            canvas = cls(w, h, **kwargs)
        except BaseException:
            lib.CVL_DeleteNewRGBA()
            raise
        lib.CVL_SetLayer(1)
        lib.CVL_SetInNewRGBA()
        lib.CVL_DeleteNewRGBA()
        canvas.current_layer = 1
        return canvas

    def save(self, path: str, dpi: int = 72) -> None:
        """Writes the merged picture; .png, .tga and .tif keep alpha, .bmp and .jpg do not."""
        self._check()
        ext = os.path.splitext(path)[1].lower()
        lib = _lib_handle()
        if os.path.exists(path):
            os.remove(path)
        if ext in (".png", ".tga", ".tif"):
            lib.CVL_SavePageToFileRGB32(os.fsencode(path), ext.encode(), dpi)
        else:
            lib.CVL_SavePageToFileRGB24(os.fsencode(path), ext.encode(), dpi)
        if not os.path.exists(path):
            raise _fail(f"cannot write {path} (.png, .tga, .tif, .bmp or .jpg)")

    # -- painting -----------------------------------------------------------------
    @property
    def current_layer(self) -> int:
        """Index into ``layers`` of the layer strokes paint on."""
        return self._current - 1

    @current_layer.setter
    def current_layer(self, index: int) -> None:
        self._check()
        if not 0 <= index < len(self.layers):
            raise IndexError("no such layer")
        self._current = index + 1
        _lib_handle().CVL_SetLayer(self._current)

    def brush(self, size: int = 16, softness: int = 0, grit: int = 0, color: Sequence[int] = (0, 0, 0),
              mode: int = 32, opacity: int = 100, spacing: float = 0.15) -> None:
        """Sets the round brush: edge in pixels, soft edge 0..255, grit dot size (0 none),
        8-bit colour, brush mix mode number, opacity percent and dab spacing as a share of the size."""
        self._check()
        lib = _lib_handle()
        self._size = max(1, min(_MAX_BRUSH, int(size)))
        self._color = tuple(max(0, min(255, int(c))) for c in color)[:3]
        self._spacing = max(0.01, float(spacing))
        lib.CVL_SetSize(self._size)
        grit = max(0, int(grit))
        lib.CVL_SetTool(1.0, grit, 60 if grit else 0, 128 if grit else 0, max(0, min(255, int(softness))),
                        0, 3, 0, 0, 0, 0, 0, 0, b"", b"", 0)
        lib.CVL_SetDensity(256)
        lib.CVL_SetAlpha(max(0, min(100, int(opacity))))
        lib.CVL_SetMixMode(int(mode), 256)
        lib.CVL_SetRotateBrushMode(0, 0)

    def stroke(self, points: Iterable[Tuple[float, float]], pressure: Optional[Sequence[float]] = None) -> int:
        """Paints dabs along the polyline through ``points`` (pressure 0..1 per point scales the dab),
        ``spacing`` of the dab size apart, merges them into the current layer and saves an undo step.
        Returns the number of dabs."""
        self._check()
        pts = [(float(x), float(y)) for x, y in points]
        if not pts:
            return 0
        ps = [1.0] * len(pts) if pressure is None else [float(p) for p in pressure]
        if len(ps) != len(pts):
            raise ValueError("pressure needs one value per point")
        dabs = _dab_places(pts, ps, self._size, self._spacing)
        lib = _lib_handle()
        lib.CVL_CreatePaintLayer(100, b"Normal")
        lib.CVL_ClearPaintLayer()
        r, g, b = self._color
        for x, y, scale in dabs:
            lib.CVL_SetScaleSize(max(1, int(round(self._size * scale))))
            lib.CVL_DrawDabGrit(int(round(x)), int(round(y)), r << 8, g << 8, b << 8)
            lib.CVL_DecDrawingLength()
        lib.CVL_MergePaintLayer(self._current)
        lib.CVL_SaveUndoBuffer(1, 0)
        return len(dabs)

    def effect(self, name: str, **arguments: Union[float, int, bool, str, Sequence[int]]) -> None:
        """Runs the named image effect over the current layer as one undo step.

        Keywords are those the effect reads (``corvel.effects()[name].reads``): sliders
        ``s1``..``s6`` in 0..100 (fractions allowed: the engine works in tenths), ``option``,
        ``i1`` and ``i2`` integers, flags ``f1``..``f6``, ``color`` as (r, g, b) 0..255 and
        ``text`` a script path. Unset ones are 0. An unknown name or keyword, a value out of
        range, or a failure the engine reports raises ``corvel.Error``."""
        self._check()
        lib = _lib_handle()
        info = effect_table(lib).get(name)
        if info is None:
            raise Error(f'unknown effect "{name}" (corvel.effects() lists them)')
        args = call_arguments(info, arguments)
        text = arguments.get("text")
        if text and not os.path.exists(text):  # type: ignore[arg-type]
            raise Error(f'effect "{name}": no file {text}')
        lib.CVL_SetLayer(self._current)  # also gives undo the layer as it is now
        lib.CVL_SetLastError(b"")
        with _IplBuffers(), _MessagesRaised(f'effect "{name}"'):
            lib.CVL_IPLImageProcess(0, name.encode(), *args)
        problem = _last_error()
        if problem:
            raise Error(f'effect "{name}": {problem}')
        # An empty stroke rectangle makes the step cover the whole canvas.
        lib.CVL_SaveUndoBuffer(1, int(info.frame == "mask"))

    def lua_filter(self, path: str, sliders: Sequence[int] = (), styles: Sequence[int] = (),
                   flags: Sequence[bool] = ()) -> None:
        """Runs a Lua filter script over the current layer. ``sliders`` are up to six integers
        (thousandths, as the filter sees them), ``styles`` up to two, ``flags`` up to six.
        A script error raises ``corvel.Error`` with the script's message."""
        self._check()
        if len(sliders) > 6 or len(styles) > 2 or len(flags) > 6:
            raise ValueError("at most 6 sliders, 2 styles and 6 flags")
        if not os.path.exists(path):
            raise Error(f"no filter script {path}")
        s = [int(v) for v in sliders] + [0] * (6 - len(sliders))
        st = [int(v) for v in styles] + [0] * (2 - len(styles))
        fl = [int(bool(v)) for v in flags] + [0] * (6 - len(flags))
        lib = _lib_handle()
        lib.CVL_SetLayer(self._current)
        with _IplBuffers(), _MessagesRaised("Lua filter"):
            lib.CVL_LuaFilterRun(os.fsencode(path), *s, *st, *fl)

    def undo(self) -> bool:
        """Steps back one stroke; False when there was nothing to undo."""
        self._check()
        lib = _lib_handle()
        if not lib.CVL_CanUndo():
            return False
        lib.CVL_Undo()
        return True

    def redo(self) -> bool:
        """Steps forward again; False when there was nothing to redo."""
        self._check()
        lib = _lib_handle()
        if not lib.CVL_CanRedo():
            return False
        lib.CVL_Redo()
        return True


class _IplBuffers:
    """The engine's 32-bit working images, held for one effect or filter run."""

    def __enter__(self) -> None:
        lib = _lib_handle()
        lib.CVL_IPLAllocSrcBuffer32()
        lib.CVL_IPLAllocDstBuffer32()

    def __exit__(self, *exc) -> None:
        lib = _lib_handle()
        lib.CVL_IPLFreeSrcBuffer32()
        lib.CVL_IPLFreeDstBuffer32()


class _MessagesRaised:
    """Catches the message boxes the engine shows during a run (a Lua script's error)
    and raises them as one ``Error`` when the run is over."""

    def __init__(self, what: str) -> None:
        self.what = what
        self.errors: list = []

    def _message(self, _user, caption, text) -> None:
        caption = caption.decode("utf-8", "replace") if caption else ""
        text = text.decode("utf-8", "replace") if text else ""
        self.errors.append(text if caption == "Lua Script Error" else f"{caption}: {text}")

    def __enter__(self) -> None:
        self._callback = _lib.MessageBox(self._message)
        self._host = _lib.HostCallbacks(ctypes.sizeof(_lib.HostCallbacks), None, self._callback)
        _lib_handle().CVL_SetHostCallbacks(ctypes.byref(self._host))

    def __exit__(self, exc_type, *exc) -> None:
        _lib_handle().CVL_SetHostCallbacks(None)
        if self.errors and exc_type is None:
            raise Error(f"{self.what}: " + "; ".join(self.errors))


def _dab_places(pts, ps, size, spacing):
    """Dab centres and scales along a polyline; the gap follows the (pressure-scaled) dab size."""
    def scale_of(p: float) -> float:
        return min(1.0, max(0.05, p if math.isfinite(p) else 1.0))

    out = [(pts[0][0], pts[0][1], scale_of(ps[0]))]
    since = 0.0  # path walked since the last dab
    for (ax, ay), (bx, by), pa, pb in zip(pts, pts[1:], ps, ps[1:]):
        length = math.hypot(bx - ax, by - ay)
        at = -since  # where the last dab lies, measured along this segment
        while True:
            t = min(max(at, 0.0) / length, 1.0) if length > 0 else 1.0
            step = max(1.0, size * scale_of(pa + (pb - pa) * t) * spacing)
            if at + step > length:
                since = length - at
                break
            at += step
            s = at / length
            out.append((ax + (bx - ax) * s, ay + (by - ay) * s, scale_of(pa + (pb - pa) * s)))
    return out

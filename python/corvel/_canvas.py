"""The canvas and its layers."""
from __future__ import annotations

import ctypes
import gc
import os
import weakref
from typing import Iterable, List, Optional, Sequence, Tuple, Union

import numpy as np

from . import _checks, _files, _lib
from ._effects import call_arguments, effects
from ._lib import Error
from ._modes import BRUSH_MODES, LAYER_MODES
from ._strokes import dab_places

#: Layers a canvas can hold: the paper and 62 above it (the engine's 64 slots less the
#: trace slot 0, which is no part of the picture).
MAX_LAYERS = 63
_MAX_SIDE = 10000
_MAX_BRUSH = 255

# The engine holds one canvas per process: the live one, weakly, so that dropping it frees the engine.
_live: Optional["weakref.ref[Canvas]"] = None


def _u16p(a: np.ndarray):
    return a.ctypes.data_as(ctypes.POINTER(ctypes.c_uint16))


def _release_engine() -> None:
    """Frees the engine's canvas; run by close() or when a canvas is dropped without it."""
    global _live
    _lib.handle().CVL_DeleteImage()
    _live = None


class Layer:
    """One layer of a canvas: pixels, mix mode, opacity and visibility."""

    def __init__(self, canvas: "Canvas", slot: int) -> None:
        self._canvas = weakref.ref(canvas)  # a layer kept after its canvas does not keep the canvas open
        self.slot = slot
        self._mode = 0
        self._opacity = 100
        self._visible = True

    def _owner(self) -> "Canvas":
        canvas = self._canvas()
        if canvas is None or not canvas._open:
            raise Error("the canvas is closed")
        if self.slot == 0:
            raise Error("the layer was removed from its canvas")
        return canvas

    def _apply(self) -> None:
        self._owner()
        _lib.handle().CVL_SetLayerOptions(self.slot, int(self._visible), 0, self._opacity,
                                          LAYER_MODES[self._mode].encode())

    @property
    def pixels(self) -> np.ndarray:
        """A copy of the layer as a (height, width, 4) uint16 array. Assign a uint16 array of
        that shape to replace it, or a uint8 one, widened by 257 (255 becomes 65535)."""
        c = self._owner()
        out = np.zeros((c.height, c.width, 4), dtype=np.uint16)
        _lib.handle().CVL_GetRGBA64Layer(_u16p(out), c.width * 8, self.slot)
        return out

    @pixels.setter
    def pixels(self, value: np.ndarray) -> None:
        c = self._owner()
        a = _checks.pixels(value, (c.height, c.width, 4))
        if _lib.handle().CVL_SetRGBA64Layer(_u16p(a), c.width * 8, self.slot) != c.height:
            raise _lib.failure(f"layer {self.slot} could not take the pixels")

    @property
    def mode(self) -> str:
        """The layer's mix mode name ("Normal", "Multiply", ...: ``corvel.LAYER_MODES``); set it
        by name (any case) or number."""
        return LAYER_MODES[self._mode]

    @mode.setter
    def mode(self, value: Union[str, int]) -> None:
        self._mode = _checks.named(value, "layer mode", LAYER_MODES)
        self._apply()

    @property
    def opacity(self) -> int:
        """Opacity in percent, 0..100."""
        return self._opacity

    @opacity.setter
    def opacity(self, percent: int) -> None:
        self._opacity = _checks.integer(percent, "opacity", 0, 100)
        self._apply()

    @property
    def visible(self) -> bool:
        """Whether the layer takes part in the flattened picture."""
        return self._visible

    @visible.setter
    def visible(self, on: bool) -> None:
        self._visible = _checks.flag(on, "visible")
        self._apply()


class Canvas:
    """The engine's one canvas. Use it as a context manager, or call close(); a canvas
    dropped without either is closed when it is collected. Only one may be open per process."""

    def __init__(self, width: int, height: int, *, layers: int = 4, seed: int = 1, undo_levels: int = 16) -> None:
        global _live
        self._open = False
        width = _checks.integer(width, "width", 1, _MAX_SIDE)
        height = _checks.integer(height, "height", 1, _MAX_SIDE)
        layers = _checks.integer(layers, "layers", 1, MAX_LAYERS)
        seed = _checks.integer(seed, "seed", -2**31, 2**31 - 1)
        undo_levels = _checks.integer(undo_levels, "undo_levels", 0, 500)
        if _live is not None and _live() is not None:
            gc.collect()  # a canvas dropped inside a reference cycle waits for the collector
        if _live is not None and _live() is not None:
            raise Error("a Canvas is already open; the engine holds one canvas per process (close it first)")
        lib = _lib.handle()
        self.width, self.height = width, height
        lib.CVL_SetRandomSeed(seed)
        lib.CVL_IPLInit(0)
        lib.CVL_CreateImage(None, width, height, _MAX_BRUSH + 1, 0)
        self._finalizer = weakref.finalize(self, _release_engine)
        _live = weakref.ref(self)
        self._open = True
        lib.CVL_SetUndoLevels(undo_levels)
        lib.CVL_SetUndoMB(0)
        self.layers: List[Layer] = []
        try:
            for _ in range(layers):
                self.add_layer()
        except BaseException:
            self.close()
            raise
        self.brush()
        self.current_layer = min(1, layers - 1)  # the first paint layer above the paper

    # -- lifetime ---------------------------------------------------------------
    def close(self) -> None:
        """Releases the canvas; the object is unusable afterwards."""
        if self._open:
            self._open = False
            self._finalizer()

    def __enter__(self) -> "Canvas":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    def _check(self) -> None:
        if not self._open:
            raise Error("the canvas is closed")

    @classmethod
    def open(cls, path: Union[str, "os.PathLike[str]"], **kwargs) -> "Canvas":
        """A canvas the size of an image file, with the picture on the paper layer."""
        lib = _lib.handle()
        lib.CVL_SetLastError(b"")
        if not lib.CVL_ReadFromFile(os.fsencode(path)):
            raise _lib.failure(f"cannot read {os.fspath(path)}")
        w, h = lib.CVL_GetNewRGBAWidth(), lib.CVL_GetNewRGBAHeight()
        try:
            canvas = cls(w, h, **kwargs)
        except BaseException:
            lib.CVL_DeleteNewRGBA()
            raise
        lib.CVL_SetLayer(1)
        lib.CVL_SetInNewRGBA()
        lib.CVL_DeleteNewRGBA()
        canvas.current_layer = canvas.current_layer  # back to painting above the picture
        return canvas

    def save(self, path: Union[str, "os.PathLike[str]"], dpi: int = 72) -> None:
        """Writes the flattened picture in the format of the name's extension
        (``corvel.SAVE_FORMATS``); .png, .tga, .tif and .webp keep transparency. A failed
        save raises and leaves an existing file untouched."""
        self._check()
        _files.save(path, _checks.integer(dpi, "dpi", 1, 100000), self.flatten)

    def flatten(self) -> np.ndarray:
        """The visible layers composited, as a (height, width, 4) uint16 array."""
        self._check()
        out = np.zeros((self.height, self.width, 4), dtype=np.uint16)
        _lib.handle().CVL_Merge(_u16p(out))
        return out

    # -- layers -------------------------------------------------------------------
    def add_layer(self) -> Layer:
        """A new transparent layer on top (the first one a canvas makes is the white paper),
        visible, Normal, at full opacity. At most ``corvel.MAX_LAYERS``."""
        self._check()
        if len(self.layers) >= MAX_LAYERS:
            raise Error(f"a canvas holds at most {MAX_LAYERS} layers")
        slot = len(self.layers) + 1
        lib = _lib.handle()
        if not lib.CVL_CreateLayer(slot, self.width, self.height):
            raise _lib.failure(f"could not create layer {slot}")
        layer = Layer(self, slot)
        self.layers.append(layer)
        layer._apply()
        return layer

    def remove_layer(self, layer: Union[Layer, int]) -> None:
        """Takes a layer (or its index) out of the stack; the layers above move down one.
        The paper cannot be removed. The undo history is cleared, since its steps name layers
        by their place in the stack."""
        self._check()
        if isinstance(layer, Layer):
            if layer not in self.layers:
                raise ValueError("the layer is not on this canvas")
            index = self.layers.index(layer)
        else:
            index = _checks.integer(layer, "layer index", -len(self.layers), len(self.layers) - 1) % len(self.layers)
        if index == 0:
            raise ValueError("the paper (layer 0) cannot be removed")
        lib = _lib.handle()
        for slot in range(index + 1, len(self.layers)):  # bubble it to the top, then free the top slot
            lib.CVL_SwapLayers(slot, slot + 1)
        lib.CVL_DeleteLayer(len(self.layers))
        gone = self.layers.pop(index)
        gone.slot = 0
        for i, kept in enumerate(self.layers):
            kept.slot = i + 1
        lib.CVL_ClearUndo()
        current = self.current_layer
        self._current = 0
        self.current_layer = current - 1 if current >= index else current

    # -- painting -----------------------------------------------------------------
    @property
    def current_layer(self) -> int:
        """Index into ``layers`` of the layer strokes and effects work on."""
        return self._current - 1

    @current_layer.setter
    def current_layer(self, index: int) -> None:
        self._check()
        index = _checks.integer(index, "current_layer", 0, len(self.layers) - 1)
        self._current = index + 1
        _lib.handle().CVL_SetLayer(self._current)

    def brush(self, size: int = 16, softness: int = 0, grit: int = 0, color: Sequence[int] = (0, 0, 0),
              mode: Union[int, str] = 32, opacity: int = 100, spacing: float = 0.15) -> None:
        """Sets the round brush: edge 1..255 pixels, soft edge 0..255, grit dot size 0..255 (0 none),
        8-bit colour, brush mix mode (``corvel.BRUSH_MODES``, by number or name; 32 is normal),
        opacity 0..100 percent and dab spacing 0.01..10 as a share of the size."""
        self._check()
        size = _checks.integer(size, "size", 1, _MAX_BRUSH)
        softness = _checks.integer(softness, "softness", 0, 255)
        grit = _checks.integer(grit, "grit", 0, 255)
        color = _checks.rgb(color, "color")
        mode = _checks.named(mode, "brush mode", BRUSH_MODES)
        opacity = _checks.integer(opacity, "opacity", 0, 100)
        spacing = _checks.real(spacing, "spacing", 0.01, 10.0)
        lib = _lib.handle()
        self._size, self._color, self._spacing = size, color, spacing
        lib.CVL_SetSize(size)
        lib.CVL_SetTool(1.0, grit, 60 if grit else 0, 128 if grit else 0, softness, 0, 3, 0, 0, 0, 0, 0, 0, b"", b"", 0)
        lib.CVL_SetDensity(256)
        lib.CVL_SetAlpha(opacity)
        lib.CVL_SetMixMode(mode, 256)
        lib.CVL_SetRotateBrushMode(0, 0)

    def stroke(self, points: Iterable[Tuple[float, float]], pressure: Optional[Sequence[float]] = None) -> int:
        """Paints dabs along the polyline through ``points`` (finite x, y pairs; pressure 0..1
        per point scales the dab), ``spacing`` of the dab size apart, merges them into the
        current layer and saves an undo step. Parts of the path beyond the canvas and the
        brush's reach place no dabs. Returns the number of dabs."""
        self._check()
        pts = [(_checks.real(x, "stroke x"), _checks.real(y, "stroke y")) for x, y in points]
        if not pts:
            return 0
        ps = [1.0] * len(pts) if pressure is None else [_checks.real(p, "pressure", 0.0, 1.0) for p in pressure]
        if len(ps) != len(pts):
            raise ValueError(f"pressure needs one value per point ({len(pts)}), not {len(ps)}")
        reach = self._size / 2 + 1
        dabs = dab_places(pts, ps, self._size, self._spacing,
                          (-reach, -reach, self.width - 1 + reach, self.height - 1 + reach))
        lib = _lib.handle()
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
        ``s1``..``s6`` (fractions allowed: the engine works in tenths), ``option``, ``i1`` and
        ``i2`` integers, flags ``f1``..``f6``, ``color`` as (r, g, b) 0..255 and ``text`` a
        script path. Each is checked against the range the engine describes for it
        (``corvel.effects()[name].arguments``; sliders 0..100 where none is described).
        Unset ones are 0. An unknown name or keyword, or a failure the engine reports,
        raises ``corvel.Error``; a value out of range ValueError."""
        self._check()
        info = effects().get(name) if isinstance(name, str) else None
        if info is None:
            raise Error(f'unknown effect "{name}" (corvel.effects() lists them)')
        args = call_arguments(info, arguments)
        lib = _lib.handle()
        lib.CVL_SetLayer(self._current)  # also gives undo the layer as it is now
        lib.CVL_SetLastError(b"")
        with _IplBuffers(), _MessagesRaised(f'effect "{name}"'):
            lib.CVL_IPLImageProcess(0, name.encode(), *args)
        problem = _lib.last_error()
        if problem:
            raise Error(f'effect "{name}": {problem}')
        # An empty stroke rectangle makes the step cover the whole canvas.
        lib.CVL_SaveUndoBuffer(1, int(info.frame == "mask"))

    def lua_filter(self, path: Union[str, "os.PathLike[str]"], sliders: Sequence[int] = (),
                   styles: Sequence[int] = (), flags: Sequence[bool] = ()) -> None:
        """Runs a Lua filter script over the current layer. ``sliders`` are up to six integers
        (thousandths, as the filter sees them), ``styles`` up to two, ``flags`` up to six.
        A script error raises ``corvel.Error`` with the script's message."""
        self._check()
        if len(sliders) > 6 or len(styles) > 2 or len(flags) > 6:
            raise ValueError("at most 6 sliders, 2 styles and 6 flags")
        if not os.path.isfile(path):
            raise Error(f"no filter script {os.fspath(path)}")
        s = [_checks.integer(v, "slider", -2**31, 2**31 - 1) for v in sliders] + [0] * (6 - len(sliders))
        st = [_checks.integer(v, "style", -2**31, 2**31 - 1) for v in styles] + [0] * (2 - len(styles))
        fl = [int(_checks.flag(v, "flag")) for v in flags] + [0] * (6 - len(flags))
        lib = _lib.handle()
        lib.CVL_SetLayer(self._current)
        with _IplBuffers(), _MessagesRaised("Lua filter"):
            lib.CVL_LuaFilterRun(os.fsencode(path), *s, *st, *fl)

    def undo(self) -> bool:
        """Steps back one stroke; False when there was nothing to undo."""
        self._check()
        lib = _lib.handle()
        if not lib.CVL_CanUndo():
            return False
        lib.CVL_Undo()
        return True

    def redo(self) -> bool:
        """Steps forward again; False when there was nothing to redo."""
        self._check()
        lib = _lib.handle()
        if not lib.CVL_CanRedo():
            return False
        lib.CVL_Redo()
        return True


class _IplBuffers:
    """The engine's 32-bit working images, held for one effect or filter run."""

    def __enter__(self) -> None:
        lib = _lib.handle()
        lib.CVL_IPLAllocSrcBuffer32()
        lib.CVL_IPLAllocDstBuffer32()

    def __exit__(self, *exc) -> None:
        lib = _lib.handle()
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
        _lib.handle().CVL_SetHostCallbacks(ctypes.byref(self._host))

    def __exit__(self, exc_type, *exc) -> None:
        _lib.handle().CVL_SetHostCallbacks(None)
        if self.errors and exc_type is None:
            raise Error(f"{self.what}: " + "; ".join(self.errors))

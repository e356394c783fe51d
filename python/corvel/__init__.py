"""Paint with the corvel engine from Python.

Plain ctypes over ``libcorvel.so``; pixels go in and out as numpy arrays of 16-bit
RGBA, the engine's own layer format. The library is loaded on first use from
``$CORVEL_LIB`` when set, else the first found of: beside the package, the install
prefix (pkg-config, then the loader's path) and the checkout's ``build/``.

    with corvel.Canvas(320, 200) as canvas:
        canvas.brush(size=24, color=(200, 30, 30))
        canvas.stroke([(20, 100), (160, 40), (300, 160)])
        canvas.save("stroke.png")

Wrong types raise TypeError, values out of range ValueError, and failures the engine
reports (or a second open canvas) ``corvel.Error``.
"""
from . import _checks, _lib
from ._canvas import MAX_LAYERS, Canvas, Layer
from ._effects import ArgumentInfo, EffectInfo, effects
from ._files import SAVE_FORMATS
from ._lib import Error
from ._modes import BRUSH_MODES, LAYER_MODES

__all__ = ["Canvas", "Layer", "Error", "effects", "EffectInfo", "ArgumentInfo", "LAYER_MODES", "BRUSH_MODES",
           "SAVE_FORMATS", "MAX_LAYERS", "set_threads", "threads"]


def set_threads(count: int) -> None:
    """Threads the engine may use for whole-picture work (effects, resizing, merging,
    the view): 0, the default, one per hardware thread; 1 the calling thread alone.
    Pictures come out the same at every count."""
    _lib.handle().CVL_SetThreadCount(_checks.integer(count, "thread count", 0, 64))


def threads() -> int:
    """The threads whole-picture work uses now (at least 1)."""
    return int(_lib.handle().CVL_GetThreadCount())


def __getattr__(name: str) -> str:
    # The version is the loaded engine's, asked for only when wanted, so that importing
    # the package never fails for want of the library.
    if name == "__version__":
        return _lib.version()
    raise AttributeError(f"module 'corvel' has no attribute '{name}'")

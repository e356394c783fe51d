"""Finding and declaring libcorvel.so, and the error its failures raise."""
from __future__ import annotations

import ctypes
import ctypes.util
import os
import shutil
import subprocess
from pathlib import Path
from typing import Iterator, List, Optional, Tuple


class Error(RuntimeError):
    """A failed engine call, or no engine to call; the message says why."""


Error.__module__ = "corvel"  # as callers spell it

_i32 = ctypes.c_int32
_u16p = ctypes.POINTER(ctypes.c_uint16)
_u8p = ctypes.POINTER(ctypes.c_uint8)
_str = ctypes.c_char_p
_strp = ctypes.POINTER(_str)
_dblp = ctypes.POINTER(ctypes.c_double)

# name: (result, argument types)
_SIGNATURES = {
    "CVL_GetVersion": (_str, []),
    "CVL_SetThreadCount": (None, [_i32]),
    "CVL_GetThreadCount": (_i32, []),
    "CVL_CreateImage": (None, [ctypes.c_void_p, _i32, _i32, _i32, _i32]),
    "CVL_DeleteImage": (None, []),
    "CVL_GetLastError": (_str, []),
    "CVL_SetLastError": (None, [_str]),
    "CVL_SetRandomSeed": (None, [_i32]),
    "CVL_SetUndoLevels": (_i32, [_i32]),
    "CVL_SetUndoMB": (None, [_i32]),
    "CVL_CreateLayer": (_i32, [_i32, _i32, _i32]),
    "CVL_DeleteLayer": (None, [_i32]),
    "CVL_SwapLayers": (None, [_i32, _i32]),
    "CVL_SetLayer": (None, [_i32]),
    "CVL_SetLayerOptions": (_i32, [_i32, _i32, _i32, _i32, _str]),
    "CVL_GetRGBA64Layer": (None, [_u16p, _i32, _i32]),
    "CVL_SetRGBA64Layer": (_i32, [_u16p, _i32, _i32]),
    "CVL_Merge": (None, [_u16p]),
    "CVL_SetSize": (None, [_i32]),
    "CVL_SetScaleSize": (None, [_i32]),
    "CVL_SetTool": (None, [ctypes.c_float] + [_i32] * 12 + [_str, _str, _i32]),
    "CVL_SetDensity": (None, [_i32]),
    "CVL_SetAlpha": (None, [_i32]),
    "CVL_SetMixMode": (None, [_i32, _i32]),
    "CVL_SetRotateBrushMode": (None, [_i32, _i32]),
    "CVL_CreatePaintLayer": (None, [_i32, _str]),
    "CVL_ClearPaintLayer": (None, []),
    "CVL_MergePaintLayer": (None, [_i32]),
    "CVL_DrawDabGrit": (_i32, [_i32, _i32, _i32, _i32, _i32]),
    "CVL_DecDrawingLength": (None, []),
    "CVL_SaveUndoBuffer": (None, [_i32, _i32]),
    "CVL_Undo": (None, []),
    "CVL_Redo": (None, []),
    "CVL_CanUndo": (_i32, []),
    "CVL_CanRedo": (_i32, []),
    "CVL_ClearUndo": (None, []),
    "CVL_ReadFromFile": (_i32, [_str]),
    "CVL_GetNewRGBAWidth": (_i32, []),
    "CVL_GetNewRGBAHeight": (_i32, []),
    "CVL_SetInNewRGBA": (_i32, []),
    "CVL_DeleteNewRGBA": (None, []),
    "CVL_SavePageToFileRGB24": (_i32, [_str, _str, _i32]),
    "CVL_SavePageToFileRGB32": (_i32, [_str, _str, _i32]),
    "CVL_WriteToFileRGB24": (_i32, [_u8p, _i32, _i32, _str, _str, _i32]),
    "CVL_WriteToFileRGBA32": (_i32, [_u8p, _i32, _i32, _str, _str, _i32]),
    "CVL_IPLInit": (None, [_i32]),
    "CVL_LuaFilterRun": (None, [_str] + [_i32] * 14),
    "CVL_SetHostCallbacks": (None, [ctypes.c_void_p]),
    "CVL_IPLAllocSrcBuffer32": (None, []),
    "CVL_IPLAllocDstBuffer32": (None, []),
    "CVL_IPLFreeSrcBuffer32": (None, []),
    "CVL_IPLFreeDstBuffer32": (None, []),
    "CVL_IPLEffectInfo": (_str, [_i32, _strp, _strp]),
    "CVL_IPLEffectDescription": (_str, [_i32, _strp]),
    "CVL_IPLEffectArgumentInfo": (_str, [_i32, _i32, _strp, _strp, _dblp, _dblp, _dblp, _strp]),
    "CVL_IPLImageProcess": (_i32, [_i32, _str] + [_i32] * 18 + [_str]),
}

_NAMES = ("libcorvel.so", "libcorvel.so.0")
_PACKAGE = Path(__file__).resolve().parent


def _checkout() -> Path:
    """The checkout the package came from: recorded when it was installed, else the tree it sits in."""
    try:
        from ._checkout import ROOT  # written into an installed copy by build_backend.py
        return Path(ROOT)
    except ImportError:
        return _PACKAGE.parents[1]


def _pkg_config_libdir() -> Tuple[Optional[Path], str]:
    if not shutil.which("pkg-config"):
        return None, "pkg-config: not installed"
    done = subprocess.run(["pkg-config", "--variable=libdir", "corvel"], capture_output=True, text=True)
    if done.returncode != 0 or not done.stdout.strip():
        return None, "pkg-config: no corvel package"
    return Path(done.stdout.strip()), ""


def _places() -> Iterator[Tuple[str, str]]:
    """(what to load, where it came from) in the order the package looks; a failed look
    yields ("", why) so the error can name it."""
    # Beside the package: its folder, then up to the lib folder of the prefix it is installed in.
    for folder in [_PACKAGE, *list(_PACKAGE.parents)[:3]]:
        for name in _NAMES:
            yield str(folder / name), "beside the package"
    libdir, why = _pkg_config_libdir()
    if libdir is None:
        yield "", why
    else:
        for name in _NAMES:
            yield str(libdir / name), "pkg-config's libdir"
    found = ctypes.util.find_library("corvel")
    yield (found, "the loader's path") if found else ("", "the loader's path: no libcorvel")
    yield str(_checkout() / "build" / "libcorvel.so"), "the checkout's build folder"


def _find() -> ctypes.CDLL:
    explicit = os.environ.get("CORVEL_LIB")
    if explicit:
        try:
            return ctypes.CDLL(explicit)
        except OSError as e:
            raise Error(f"cannot load CORVEL_LIB={explicit}: {e}") from None
    looked: List[str] = []
    for path, where in _places():
        if not path:
            looked.append(where)
            continue
        if "/" in path and not os.path.exists(path):
            looked.append(f"{path} ({where}): no such file")
            continue
        try:
            return ctypes.CDLL(path)
        except OSError as e:
            looked.append(f"{path} ({where}): {e}")
    raise Error("libcorvel.so not found; build the engine (./run demo) or set CORVEL_LIB to the library. Looked at:\n  "
                + "\n  ".join(looked))


def _declare(lib: ctypes.CDLL) -> ctypes.CDLL:
    for name, (result, args) in _SIGNATURES.items():
        fn = getattr(lib, name, None)
        if fn is not None:
            fn.restype = result
            fn.argtypes = args
    return lib


_engine: Optional[ctypes.CDLL] = None


def handle() -> ctypes.CDLL:
    """The engine, loaded on first use: $CORVEL_LIB alone when set, else the first found of
    beside the package, the install prefix (pkg-config, then the loader's path) and the
    checkout's build/."""
    global _engine
    if _engine is None:
        _engine = _declare(_find())
    return _engine


def version() -> str:
    return handle().CVL_GetVersion().decode()


def last_error() -> str:
    text = handle().CVL_GetLastError()
    return text.decode("utf-8", "replace") if text else ""


def failure(what: str) -> Error:
    """An Error for a failed call, with the engine's last-error text when it left one."""
    detail = last_error()
    return Error(f"{what}: {detail}" if detail else what)


MessageBox = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p)


class HostCallbacks(ctypes.Structure):
    """The leading entries of the engine's host-callback table; the size field tells it where ours end."""

    _fields_ = [("size", ctypes.c_uint32), ("user_data", ctypes.c_void_p), ("message_box", MessageBox)]

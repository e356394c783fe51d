"""Finding and declaring libcorvel.so, and the error its failures raise."""
from __future__ import annotations

import ctypes
import ctypes.util
import os
from pathlib import Path



class Error(RuntimeError):
    """A failed engine call; the message carries the engine's last-error text."""


_i32 = ctypes.c_int32
_u16p = ctypes.POINTER(ctypes.c_uint16)
_str = ctypes.c_char_p

# name: (result, argument types)
_SIGNATURES = {
    "CVL_CreateImage": (None, [ctypes.c_void_p, _i32, _i32, _i32, _i32]),
    "CVL_DeleteImage": (None, []),
    "CVL_GetLastError": (_str, []),
    "CVL_SetRandomSeed": (None, [_i32]),
    "CVL_SetUndoLevels": (_i32, [_i32]),
    "CVL_SetUndoMB": (None, [_i32]),
    "CVL_CreateLayer": (_i32, [_i32, _i32, _i32]),
    "CVL_SetLayer": (None, [_i32]),
    "CVL_SetLayerOptions": (None, [_i32, _i32, _i32, _i32, _str]),
    "CVL_GetRGBA64Layer": (None, [_u16p, _i32, _i32]),
    "CVL_SetRGBA64Layer": (_i32, [_u16p, _i32, _i32]),
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
    "CVL_ReadFromFile": (_i32, [_str]),
    "CVL_GetNewRGBAWidth": (_i32, []),
    "CVL_GetNewRGBAHeight": (_i32, []),
    "CVL_SetInNewRGBA": (_i32, []),
    "CVL_DeleteNewRGBA": (None, []),
    "CVL_SavePageToFileRGB24": (_i32, [_str, _str, _i32]),
    "CVL_SavePageToFileRGB32": (_i32, [_str, _str, _i32]),
    "CVL_IPLInit": (None, [_i32]),
    "CVL_LuaFilterRun": (None, [_str] + [_i32] * 14),
    "CVL_SetHostCallbacks": (None, [ctypes.c_void_p]),
    "CVL_IPLAllocSrcBuffer32": (None, []),
    "CVL_IPLAllocDstBuffer32": (None, []),
    "CVL_IPLFreeSrcBuffer32": (None, []),
    "CVL_IPLFreeDstBuffer32": (None, []),
    "CVL_IPLEffectInfo": (_str, [_i32, ctypes.POINTER(_str), ctypes.POINTER(_str)]),
    "CVL_IPLImageProcess": (_i32, [_i32, _str] + [_i32] * 18 + [_str]),
    "CVL_SetLastError": (None, [_str]),
}


def _candidates() -> list[str]:
    found = []
    if os.environ.get("CORVEL_LIB"):
        found.append(os.environ["CORVEL_LIB"])
    here = Path(__file__).resolve().parent
    found += [str(here / "libcorvel.so"), str(here.parent / "libcorvel.so")]
    by_name = ctypes.util.find_library("corvel")
    found += [by_name] if by_name else []
    found.append("libcorvel.so")
    return found


def load() -> ctypes.CDLL:
    """Loads the engine: $CORVEL_LIB, then next to the package, then the library path."""
    errors = []
    for path in _candidates():
        if path != "libcorvel.so" and "/" in path and not os.path.exists(path):
            continue
        try:
            lib = ctypes.CDLL(path)
        except OSError as e:
            errors.append(f"{path}: {e}")
            continue
        for name, (result, args) in _SIGNATURES.items():
            fn = getattr(lib, name, None)
            if fn is None:
                continue
            fn.restype = result
            fn.argtypes = args
        return lib
    raise OSError("libcorvel.so not found (set CORVEL_LIB): " + "; ".join(errors))


MessageBox = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p)


class HostCallbacks(ctypes.Structure):
    """The leading entries of the engine's host-callback table; the size field tells it where ours end."""

    _fields_ = [("size", ctypes.c_uint32), ("user_data", ctypes.c_void_p), ("message_box", MessageBox)]

"""Writing the flattened picture to a file, the format chosen by the name's extension.

The file is written under a temporary name beside the destination and moved over it
only once the engine has written it whole, so a failed save leaves an existing file as
it was.
"""
from __future__ import annotations

import os
import uuid
from typing import Callable

import numpy as np

from . import _lib
from ._lib import Error

# The page writers flatten the canvas row by row themselves; the others take the picture.
_PAGE_RGBA = (".png", ".tga", ".tif")
_PAGE_RGB = (".bmp", ".jpg")
_PICTURE_RGB = (".gif", ".pcx", ".psd", ".emf", ".wmf")
_PICTURE_RGBA = (".webp",)

#: Every extension ``Canvas.save`` writes; .png, .tga, .tif and .webp keep transparency.
SAVE_FORMATS = _PAGE_RGBA + _PAGE_RGB + _PICTURE_RGB + _PICTURE_RGBA


def _u8p(a: np.ndarray):
    return a.ctypes.data_as(_lib.ctypes.POINTER(_lib.ctypes.c_uint8))


def _writer(ext: str, flatten: Callable[[], np.ndarray]) -> Callable[[bytes, int], None]:
    lib = _lib.handle()
    e = ext.encode()
    if ext in _PAGE_RGBA:
        return lambda path, dpi: lib.CVL_SavePageToFileRGB32(path, e, dpi)
    if ext in _PAGE_RGB:
        return lambda path, dpi: lib.CVL_SavePageToFileRGB24(path, e, dpi)

    def picture(path: bytes, dpi: int) -> None:
        rgba = flatten()
        h, w = rgba.shape[:2]
        narrow = np.ascontiguousarray((rgba >> 8).astype(np.uint8)[:, :, :4 if ext in _PICTURE_RGBA else 3])
        write = lib.CVL_WriteToFileRGBA32 if ext in _PICTURE_RGBA else lib.CVL_WriteToFileRGB24
        write(_u8p(narrow), w, h, path, e, dpi)

    return picture


def save(path: "os.PathLike[str] | str", dpi: int, flatten: Callable[[], np.ndarray]) -> None:
    """Writes the picture ``flatten`` gives (or the engine's page) to ``path``."""
    path = os.fspath(path)
    ext = os.path.splitext(path)[1].lower()
    if ext not in SAVE_FORMATS:
        raise ValueError(f"cannot write {path}: the name must end in one of {' '.join(SAVE_FORMATS)}")
    folder = os.path.dirname(os.path.abspath(path))
    if not os.path.isdir(folder):
        raise Error(f"cannot write {path}: no folder {folder}")
    if os.path.isdir(path):
        raise Error(f"cannot write {path}: it is a folder")
    if not os.access(folder, os.W_OK | os.X_OK):
        raise Error(f"cannot write {path}: permission denied in {folder}")
    partial = os.path.join(folder, f".{os.path.basename(path)}.{uuid.uuid4().hex[:12]}.part")
    lib = _lib.handle()
    lib.CVL_SetLastError(b"")
    try:
        _writer(ext, flatten)(os.fsencode(partial), dpi)
        problem = _lib.last_error()
        if problem or not os.path.isfile(partial) or os.path.getsize(partial) == 0:
            raise Error(f"cannot write {path}" + (f": {problem}" if problem else ""))
        os.replace(partial, path)
    except OSError as e:
        raise Error(f"cannot write {path}: {e.strerror or e}") from None
    finally:
        if os.path.exists(partial):
            os.remove(partial)

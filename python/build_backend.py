"""Packs the corvel package into a wheel with nothing but the standard library.

pip runs this in place of a build tool (pyproject.toml names it), so installing the
package needs no download: `pip install ./python` works on a machine without network.
The version is the engine's, read from the C header of the checkout (or from
PKG-INFO in a source archive); a wheel built from a checkout records where that
checkout is, so the package can find the engine in the checkout's `build/`.
"""
import base64
import hashlib
import io
import os
import re
import tarfile
import zipfile
from pathlib import Path

NAME = "corvel"
SUMMARY = "Paint with the corvel engine from Python: ctypes over libcorvel.so, numpy in and out"
REQUIRES_PYTHON = ">=3.9"
REQUIRES = ["numpy"]

HERE = Path(__file__).resolve().parent
HEADER = HERE.parent / "include" / "corvel" / "corvel.h"


def _version() -> str:
    if HEADER.is_file():
        parts = dict(re.findall(r"#define CORVEL_VERSION_(MAJOR|MINOR|PATCH) (\d+)", HEADER.read_text()))
        return f"{parts['MAJOR']}.{parts['MINOR']}.{parts['PATCH']}"
    info = HERE / "PKG-INFO"
    if info.is_file():
        return re.search(r"^Version: (\S+)$", info.read_text(), re.M)[1]
    raise RuntimeError(f"build the corvel package from its checkout: {HEADER} is missing")


def _metadata(version: str) -> str:
    lines = ["Metadata-Version: 2.1", f"Name: {NAME}", f"Version: {version}", f"Summary: {SUMMARY}",
             f"Requires-Python: {REQUIRES_PYTHON}"]
    lines += [f"Requires-Dist: {r}" for r in REQUIRES]
    return "\n".join(lines) + "\n"


def _sources():
    for path in sorted((HERE / NAME).rglob("*.py")):
        if "__pycache__" not in path.parts:
            yield path.relative_to(HERE).as_posix(), path.read_bytes()


class _Wheel:
    """A py3-none-any wheel and its RECORD."""

    def __init__(self, directory: str, version: str) -> None:
        self.filename = f"{NAME}-{version}-py3-none-any.whl"
        self.info = f"{NAME}-{version}.dist-info"
        self.version = version
        self.zip = zipfile.ZipFile(os.path.join(directory, self.filename), "w", zipfile.ZIP_DEFLATED)
        self.record = []

    def add(self, name: str, data: bytes) -> None:
        self.zip.writestr(name, data)
        digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
        self.record.append(f"{name},sha256={digest},{len(data)}")

    def close(self) -> str:
        self.add(f"{self.info}/METADATA", _metadata(self.version).encode())
        self.add(f"{self.info}/WHEEL", b"Wheel-Version: 1.0\nGenerator: corvel build_backend\n"
                                       b"Root-Is-Purelib: true\nTag: py3-none-any\n")
        self.record.append(f"{self.info}/RECORD,,")
        self.zip.writestr(f"{self.info}/RECORD", "\n".join(self.record) + "\n")
        self.zip.close()
        return self.filename


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    wheel = _Wheel(wheel_directory, _version())
    for name, data in _sources():
        wheel.add(name, data)
    if HEADER.is_file():
        wheel.add(f"{NAME}/_checkout.py", f"ROOT = {str(HERE.parent)!r}\n".encode())
    return wheel.close()


def build_editable(wheel_directory, config_settings=None, metadata_directory=None):
    """The package imported from this folder: a path entry instead of copies."""
    wheel = _Wheel(wheel_directory, _version())
    wheel.add(f"_{NAME}_editable.pth", (str(HERE) + "\n").encode())
    return wheel.close()


def build_sdist(sdist_directory, config_settings=None):
    version = _version()
    base = f"{NAME}-{version}"
    with tarfile.open(os.path.join(sdist_directory, base + ".tar.gz"), "w:gz") as tar:
        def add(name: str, data: bytes) -> None:
            entry = tarfile.TarInfo(f"{base}/{name}")
            entry.size = len(data)
            entry.mode = 0o644
            tar.addfile(entry, io.BytesIO(data))

        for name, data in _sources():
            add(name, data)
        for name in ("pyproject.toml", "build_backend.py", "README.md"):
            add(name, (HERE / name).read_bytes())
        add("PKG-INFO", _metadata(version).encode())
    return base + ".tar.gz"

"""Installing the package as the README says, offline, and the places it looks for the engine."""
import ctypes.util
import os
import re
import shutil
import subprocess
from pathlib import Path

import pytest

import corvel
from corvel import _lib

CHECKOUT = Path(__file__).resolve().parents[2]
ENGINE = os.environ.get("CORVEL_LIB") or str(CHECKOUT / "build" / "libcorvel.so")


def _engine_path() -> Path:
    if not os.path.exists(ENGINE):
        pytest.skip("needs the built engine (CORVEL_LIB or build/libcorvel.so)")
    return Path(ENGINE).resolve()


def _without_network():
    """A prefix that runs a command with no network interface but loopback, where the system allows it."""
    if shutil.which("unshare") and subprocess.run(["unshare", "-rn", "true"], capture_output=True).returncode == 0:
        return ["unshare", "-rn"]
    return []


def _readme_python_section():
    text = (CHECKOUT / "README.md").read_text()
    section = text[text.index("\n## Python\n"):]
    section = section[:section.index("\n## ", 1)]
    block = lambda lang: re.search(rf"```{lang}\n(.*?)```", section, re.S)[1]  # noqa: E731
    return block("sh"), block("python")


def test_the_readme_steps_run_verbatim_in_a_fresh_environment_without_network(tmp_path):
    steps, example = _readme_python_section()
    # A checkout as the README's reader has it: the package, the header and a built engine.
    root = tmp_path / "checkout"
    shutil.copytree(CHECKOUT / "python", root / "python", ignore=shutil.ignore_patterns("tests", "__pycache__"))
    (root / "include" / "corvel").mkdir(parents=True)
    shutil.copy(CHECKOUT / "include" / "corvel" / "corvel.h", root / "include" / "corvel")
    (root / "build").mkdir()
    (root / "build" / "libcorvel.so").symlink_to(_engine_path())
    (root / "hello.py").write_text(example)
    tree_before = sorted(p.relative_to(root) for p in (root / "python").rglob("*"))
    env = {k: v for k, v in os.environ.items() if k not in ("CORVEL_LIB", "PYTHONPATH", "PIP_FIND_LINKS")}
    env.update(PIP_NO_INDEX="1", PIP_NO_CACHE_DIR="1", PIP_DISABLE_PIP_VERSION_CHECK="1",
               http_proxy="http://127.0.0.1:9", https_proxy="http://127.0.0.1:9",
               PKG_CONFIG_LIBDIR=str(tmp_path / "no-pkgconfig"))
    done = subprocess.run([*_without_network(), "sh", "-ec", steps], cwd=root, env=env, capture_output=True,
                          text=True, timeout=240)
    assert done.returncode == 0, done.stdout + done.stderr
    assert (root / "hello.png").read_bytes().startswith(b"\x89PNG")
    # Installed, not run from the tree, and the tree was left as it was.
    where = subprocess.run([str(root / ".venv" / "bin" / "python"), "-c", "import corvel; print(corvel.__file__)"],
                           cwd=tmp_path, env=env, capture_output=True, text=True, check=True).stdout
    assert "site-packages" in where
    assert sorted(p.relative_to(root) for p in (root / "python").rglob("*")) == tree_before


@pytest.fixture
def nowhere(monkeypatch, tmp_path):
    """No CORVEL_LIB, no pkg-config package, nothing on the loader's path and an empty checkout."""
    monkeypatch.delenv("CORVEL_LIB", raising=False)
    monkeypatch.setenv("PKG_CONFIG_LIBDIR", str(tmp_path / "pc"))
    monkeypatch.setattr(ctypes.util, "find_library", lambda name: None)
    monkeypatch.setattr(_lib, "_checkout", lambda: tmp_path / "checkout")
    (tmp_path / "pc").mkdir()
    return tmp_path


def test_the_engine_not_found_names_every_place_looked(nowhere):
    with pytest.raises(corvel.Error) as caught:
        _lib._find()
    text = str(caught.value)
    package = Path(corvel.__file__).parent
    for place in [package / "libcorvel.so", package.parent / "libcorvel.so.0", "pkg-config: no corvel package",
                  "the loader's path", nowhere / "checkout" / "build" / "libcorvel.so"]:
        assert str(place) in text


def test_the_engine_is_found_in_the_prefix_before_the_checkout(nowhere):
    engine = _engine_path()
    build = nowhere / "checkout" / "build"
    build.mkdir(parents=True)
    (build / "libcorvel.so").symlink_to(engine)
    assert _lib._find()._name == str(build / "libcorvel.so")
    prefix = nowhere / "prefix" / "lib"
    prefix.mkdir(parents=True)
    (prefix / "libcorvel.so.0").symlink_to(engine)
    (nowhere / "pc" / "corvel.pc").write_text(f"libdir={prefix}\nName: corvel\nDescription: x\nVersion: 0\n")
    if shutil.which("pkg-config"):
        assert _lib._find()._name == str(prefix / "libcorvel.so.0")


def test_an_explicit_library_is_the_only_one_tried(monkeypatch, tmp_path):
    monkeypatch.setenv("CORVEL_LIB", str(tmp_path / "missing.so"))
    with pytest.raises(corvel.Error, match="cannot load CORVEL_LIB=.*missing.so"):
        _lib._find()


def test_the_namespace_holds_only_the_public_names():
    public = {name for name in vars(corvel) if not name.startswith("_")}
    assert public == set(corvel.__all__)
    assert re.fullmatch(r"\d+\.\d+\.\d+", corvel.__version__)
    header = (CHECKOUT / "include" / "corvel" / "corvel.h").read_text()
    assert corvel.__version__ == ".".join(re.findall(r"#define CORVEL_VERSION_\w+ (\d+)", header))

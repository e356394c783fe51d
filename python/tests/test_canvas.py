"""The Python package against the engine: painting, layers, undo, files, and the
same stroke made by the command-line host in C++."""
import os
import shutil
import subprocess
import venv
from pathlib import Path

import numpy as np
import pytest

import corvel

CLI = os.environ.get("CORVEL_CLI")
README = Path(__file__).resolve().parents[1] / "README.md"


@pytest.fixture
def canvas():
    with corvel.Canvas(120, 80) as c:
        yield c


def test_a_stroke_inks_its_path_and_nothing_else(canvas):
    canvas.brush(size=8, color=(0, 0, 255))
    assert canvas.stroke([(10, 40), (110, 40)]) > 10
    px = canvas.layers[1].pixels
    assert px.shape == (80, 120, 4) and px.dtype == np.uint16
    assert (px[40, 10:111, 3] > 0).all()
    assert px[40, 60, 2] > px[40, 60, 0]
    assert (px[:30, :, 3] == 0).all() and (px[51:, :, 3] == 0).all()
    assert (canvas.layers[0].pixels == 65535).all()  # the paper is untouched


def test_pressure_narrows_the_stroke(canvas):
    canvas.brush(size=20)
    canvas.stroke([(10, 40), (110, 40)], pressure=[1.0, 0.1])
    alpha = canvas.layers[1].pixels[:, :, 3]
    assert (alpha[:, 15] > 0).sum() > (alpha[:, 105] > 0).sum()
    with pytest.raises(ValueError):
        canvas.stroke([(1, 1), (2, 2)], pressure=[1.0])


def test_undo_and_redo_step_over_whole_strokes(canvas):
    canvas.brush(size=6)
    canvas.stroke([(10, 10), (50, 10)])
    first = canvas.layers[1].pixels
    canvas.stroke([(10, 60), (50, 60)])
    assert canvas.undo()
    assert (canvas.layers[1].pixels == first).all()
    assert canvas.redo()
    assert canvas.layers[1].pixels[60, 30, 3] > 0
    assert not canvas.redo()


def test_layer_pixels_and_options_are_assignable(canvas):
    pattern = (np.arange(80 * 120 * 4, dtype=np.uint32) * 2654435761 % 65536).astype(np.uint16).reshape(80, 120, 4)
    canvas.layers[2].pixels = pattern
    assert (canvas.layers[2].pixels == pattern).all()
    with pytest.raises(ValueError):
        canvas.layers[2].pixels = pattern[:, :10]
    layer = canvas.layers[2]
    layer.mode, layer.opacity, layer.visible = "Multiply", 150, False
    assert (layer.mode, layer.opacity, layer.visible) == ("Multiply", 100, False)


def test_one_canvas_at_a_time(canvas):
    with pytest.raises(corvel.Error, match="one canvas"):
        corvel.Canvas(10, 10)
    canvas.close()
    with pytest.raises(corvel.Error, match="closed"):
        canvas.layers[0].pixels
    with corvel.Canvas(5, 5):
        pass


def test_files_round_trip_and_failures_carry_the_reason(tmp_path):
    path = str(tmp_path / "out.png")
    with corvel.Canvas(40, 30) as c:
        c.brush(size=10, color=(255, 0, 0))
        c.stroke([(5, 15), (35, 15)])
        c.save(path)
        with pytest.raises(corvel.Error, match="cannot write"):
            c.save(str(tmp_path / "out.xyz"))
    with corvel.Canvas.open(path) as c:
        assert (c.width, c.height) == (40, 30)
        paper = c.layers[0].pixels
        assert paper[15, 20, 0] > 60000 and paper[15, 20, 1] < 5000
        assert paper[2, 2, 1] > 60000
    with pytest.raises(corvel.Error, match="cannot read"):
        corvel.Canvas.open(str(tmp_path / "missing.png"))


@pytest.mark.skipif(not CLI, reason="needs CORVEL_CLI, the command-line host")
def test_a_stroke_matches_the_command_line_player_word_for_word(tmp_path):
    # The same brush and path, played by the C++ host from a paint script.
    script = tmp_path / "s.srp"
    lines = ["1554", "Description", "1", " ", "RandomSeed", "1", "SelectBrush", "Round", "0", "",
             "SetBrushSize", "9", "SetColor", "30", "160", "90",
             "DrawStart", "12", "50", "-1", "SmoothPlot2", "0", "0", "0", "1", "0"]
    path = [(12, 50, 1.0), (70, 20, 0.6), (140, 66, 0.3)]
    for x, y, p in path[1:]:
        lines += ["SmoothPlot2", str(x), str(y), str(p), "0", "0"]
    lines += ["SmoothPlot2", "0", "0", "0", "0", "1", "DrawStop", "1", "ScriptEnd"]
    script.write_bytes(("\r\n".join(lines) + "\r\n").encode())
    theirs = tmp_path / "cli.png"
    subprocess.run([CLI, "play", str(script), str(theirs), "--size", "160x90"], check=True, capture_output=True)
    ours = tmp_path / "py.png"
    with corvel.Canvas(160, 90) as c:
        c.brush(size=9, color=(30, 160, 90))
        c.stroke([(x, y) for x, y, _ in path], pressure=[p for _, _, p in path])
        c.save(str(ours))
    with corvel.Canvas.open(str(ours)) as c:
        mine = c.layers[0].pixels
    with corvel.Canvas.open(str(theirs)) as c:
        cli = c.layers[0].pixels
    assert (mine[:, :, :3] != 65535).any()
    assert np.array_equal(mine, cli)


def _readme_example() -> str:
    text = README.read_text()
    start = text.index("```python\n") + len("```python\n")
    return text[start:text.index("```", start)]


def test_the_readme_example_runs_in_a_fresh_virtual_environment(tmp_path):
    env_dir = tmp_path / "venv"
    venv.create(env_dir, system_site_packages=True, with_pip=True)
    py = str(env_dir / "bin" / "python")
    # Installed from a copy, so that the build leaves nothing in the checkout.
    pkg = str(tmp_path / "src")
    shutil.copytree(Path(__file__).resolve().parents[1], pkg, ignore=shutil.ignore_patterns("tests", "__pycache__"))
    subprocess.run([py, "-m", "pip", "install", "--no-index", "--no-build-isolation", "--quiet", pkg], check=True,
                   cwd=tmp_path)
    example = _readme_example()
    assert len(example.strip().splitlines()) == 5
    assert example in (README.parents[1] / "README.md").read_text()  # the project README shows the same
    subprocess.run([py, "-c", example], check=True, cwd=tmp_path, env=dict(os.environ))
    png = (tmp_path / "hello.png").read_bytes()
    assert png.startswith(b"\x89PNG")


def test_lua_filters_run_over_the_current_layer_and_report_script_errors(canvas, tmp_path):
    invert = Path(__file__).resolve().parents[2] / "examples" / "lua" / "invert.lua"
    canvas.current_layer = 0
    canvas.lua_filter(str(invert))
    paper = canvas.layers[0].pixels
    assert (paper[:, :, :3] < 300).all() and (paper[:, :, 3] >= 65280).all()  # through 8-bit working images
    bad = tmp_path / "bad.lua"
    bad.write_text('error("bad thing")\n')
    with pytest.raises(corvel.Error, match="bad thing"):
        canvas.lua_filter(str(bad))
    with pytest.raises(ValueError):
        canvas.lua_filter(str(invert), sliders=[0] * 7)

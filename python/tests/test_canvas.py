"""The Python package against the engine: painting, layers, undo, files, and the
same stroke made by the command-line host in C++."""
import os
import subprocess
from pathlib import Path

import numpy as np
import pytest

import corvel

CLI = os.environ.get("CORVEL_CLI")


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


def test_strokes_beyond_the_canvas_cost_only_the_dabs_that_can_reach_it(canvas):
    canvas.brush(size=8, spacing=0.25)
    across = canvas.stroke([(-1e12, 40), (1e12, 40)])
    assert 0 < across <= (120 + 2 * 5) / 2 + 2  # two pixels apart over the canvas grown by the brush
    alpha = canvas.layers[1].pixels[:, :, 3]
    assert (alpha[40] > 0).all() and (alpha[:30] == 0).all()
    assert canvas.stroke([(-500, -500), (-400, 1e300), (5000, -1e6)]) == 0
    assert 0 < canvas.stroke([(-1.7e308, 40), (1.7e308, 40), (-1.7e308, 41)]) <= 2 * across + 2  # no overflow
    # Out and back in: the dabs start again where the path comes back.
    assert canvas.stroke([(10, 10), (10, -1e9), (30, -1e9), (30, 10)]) > 0
    assert canvas.layers[1].pixels[5, 30, 3] > 0


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
    canvas.layers[2].pixels = np.array([[[0, 1, 128, 255]]], np.uint8).repeat(80, 0).repeat(120, 1)
    assert canvas.layers[2].pixels[5, 5].tolist() == [0, 257, 128 * 257, 65535]  # uint8 widened by 257
    layer = canvas.layers[2]
    layer.mode, layer.opacity, layer.visible = "multiply", 40, False
    assert (layer.mode, layer.opacity, layer.visible) == ("Multiply", 40, False)
    layer.mode = 3
    assert layer.mode == "Darken" == corvel.LAYER_MODES[3]


def test_layer_modes_and_opacity_change_the_flattened_picture(canvas):
    canvas.layers[1].pixels = np.full((80, 120, 4), [65535, 0, 0, 65535], np.uint16)
    canvas.layers[0].pixels = np.full((80, 120, 4), [0, 65535, 65535, 65535], np.uint16)
    assert canvas.flatten()[0, 0].tolist() == [65535, 0, 0, 65535]
    canvas.layers[1].mode = "Multiply"  # red times cyan is black
    assert canvas.flatten()[0, 0, :3].max() < 300
    canvas.layers[1].mode, canvas.layers[1].opacity = "Normal", 50
    half = canvas.flatten()[0, 0]
    assert 25000 < half[0] < 40000 and 25000 < half[1] < 40000
    canvas.layers[1].visible = False
    assert canvas.flatten()[0, 0].tolist() == [0, 65535, 65535, 65535]


def test_layers_are_added_up_to_the_engines_limit_and_removed_from_anywhere(canvas):
    while len(canvas.layers) < corvel.MAX_LAYERS:
        canvas.add_layer()
    with pytest.raises(corvel.Error, match="at most 63"):
        canvas.add_layer()
    top = canvas.layers[-1]
    top.pixels = np.full((80, 120, 4), 65535, np.uint16)
    canvas.layers[2].pixels = np.full((80, 120, 4), [1000, 2000, 3000, 65535], np.uint16)
    third, fourth = canvas.layers[2], canvas.layers[3]
    fourth.mode = "Screen"
    fourth.pixels = np.full((80, 120, 4), [7, 8, 9, 10], np.uint16)
    canvas.current_layer = 2
    canvas.remove_layer(third)
    assert len(canvas.layers) == 62 and canvas.layers[2] is fourth and canvas.current_layer == 1
    assert fourth.mode == "Screen" and fourth.pixels[0, 0].tolist() == [7, 8, 9, 10]
    assert (canvas.layers[-1].pixels == 65535).all()
    with pytest.raises(corvel.Error, match="removed"):
        third.pixels
    canvas.remove_layer(-1)
    assert canvas.add_layer().pixels.max() == 0  # the freed slot comes back empty
    with pytest.raises(ValueError, match="paper"):
        canvas.remove_layer(0)
    with pytest.raises(ValueError):
        canvas.remove_layer(99)


def test_one_canvas_at_a_time_and_a_dropped_one_is_closed(canvas):
    with pytest.raises(corvel.Error, match="one canvas"):
        corvel.Canvas(10, 10)
    layer = canvas.layers[0]
    canvas.close()
    with pytest.raises(corvel.Error, match="closed"):
        layer.pixels
    with corvel.Canvas(5, 5):
        pass
    dropped = corvel.Canvas(6, 6)
    kept_layer = dropped.layers[1]
    del dropped  # no close(): the finaliser frees the engine
    with corvel.Canvas(7, 7) as c:
        assert c.flatten().shape == (7, 7, 4)
        with pytest.raises(corvel.Error, match="closed"):
            kept_layer.pixels


def test_save_writes_every_format_and_reads_back(tmp_path):
    with corvel.Canvas(40, 30) as c:
        c.brush(size=10, color=(255, 0, 0))
        c.stroke([(5, 15), (35, 15)])
        picture = c.flatten()
        for ext in corvel.SAVE_FORMATS:
            c.save(tmp_path / f"out{ext.upper()}")
    assert sorted(p.suffix.lower() for p in tmp_path.iterdir()) == sorted(corvel.SAVE_FORMATS)
    for ext in (".png", ".bmp", ".gif", ".tif", ".tga", ".webp"):
        with corvel.Canvas.open(tmp_path / f"out{ext.upper()}") as c:
            assert (c.width, c.height, c.current_layer) == (40, 30, 1)  # strokes go above the picture
            paper = c.layers[0].pixels
            assert np.array_equal(paper >> 8, picture >> 8), ext


def test_failed_saves_say_why_and_keep_the_old_file(tmp_path):
    path = tmp_path / "out.png"
    path.write_bytes(b"precious")
    with corvel.Canvas(20, 20) as c:
        with pytest.raises(ValueError, match="must end in one of .png"):
            c.save(tmp_path / "out.xyz")
        with pytest.raises(corvel.Error, match="no folder"):
            c.save(tmp_path / "missing" / "out.png")
        with pytest.raises(corvel.Error, match="is a folder"):
            (tmp_path / "dir.png").mkdir()
            c.save(tmp_path / "dir.png")
        if os.geteuid() != 0:  # root writes anywhere
            locked = tmp_path / "locked"
            locked.mkdir(mode=0o500)
            with pytest.raises(corvel.Error, match="permission"):
                c.save(locked / "out.png")
        with pytest.raises(TypeError):
            c.save(path, dpi=7.5)
        assert path.read_bytes() == b"precious"
        c.save(path)
    assert path.read_bytes().startswith(b"\x89PNG")
    assert sorted(p.name for p in tmp_path.iterdir() if p.name.endswith(".part")) == []


def test_reading_a_missing_file_carries_the_reason(tmp_path):
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

"""Named image effects from Python: the table they come from, the checks on their
arguments, undo, and the same effect run by the command-line host in C++."""
import json
import os
import subprocess

import numpy as np
import pytest
from PIL import Image

import corvel
from corvel._effects import call_arguments

CLI = os.environ.get("CORVEL_CLI")


def picture(w=96, h=64):
    """Colour ramps, a dark block with hard edges and a transparent corner, as 8-bit RGBA."""
    y, x = np.mgrid[0:h, 0:w]
    rgba = np.zeros((h, w, 4), dtype=np.uint8)
    rgba[..., 0] = x * 255 // (w - 1)
    rgba[..., 1] = y * 255 // (h - 1)
    rgba[..., 2] = (x * 7 + y * 3) % 256
    rgba[..., 3] = 255
    rgba[10:30, 20:40, :3] = 20
    rgba[h - 16:, w - 24:, 3] = 90
    return rgba


def test_the_effect_table_is_the_one_the_command_prints():
    table = corvel.effects()
    assert len(table) > 150 and list(table)[0] == "Charcoal"
    assert table["Levels"].reads == {"s1", "s2", "s3", "s4", "f1", "f2", "f3", "f4"}
    assert table["Drop Shadow"].reads == {"s1", "s2", "s3", "s4", "color"}
    assert table["Lua Filter"].reads == {f"s{k}" for k in range(1, 7)} | {f"f{k}" for k in range(1, 7)} | {
        "option", "i2", "text"}
    assert "color" in table["Adjust Lab"].reads and "text" not in table["Adjust Lab"].reads  # "all"
    assert table["Negative"].reads == set()
    if not CLI:
        pytest.skip("needs CORVEL_CLI to compare with corvel effects")
    listing = json.loads(subprocess.run([CLI, "effects", "--json"], check=True, capture_output=True, text=True).stdout)
    assert [e["name"] for e in listing] == list(table)
    for e, info in zip(listing, table.values()):
        assert e["reads"] == (info.reads_text or "") and e["frame"] == info.frame


def test_described_arguments_agree_with_what_each_effect_reads():
    table = corvel.effects()
    for info in table.values():
        assert set(info.arguments) <= info.reads, info.name
        for key, arg in info.arguments.items():
            assert arg.keyword == key and arg.name and arg.min <= arg.default <= arg.max, (info.name, arg)
        if info.arguments:
            assert info.description and info.frame_description, info.name


def test_arguments_are_checked_against_their_described_ranges():
    spin = corvel.EffectInfo("Spin", "filter", frozenset({"s1", "s2", "option", "f1", "color"}), "", "turns", "",
                             {"s1": corvel.ArgumentInfo("s1", "Angle", "degrees", -50, 50, 0, "turn"),
                              "option": corvel.ArgumentInfo("option", "Kind", "", 1, 3, 1, "which")})
    assert call_arguments(spin, {"s1": -50, "s2": 99.95, "option": 3})[:4] == [0, -500, 1000, 0]  # tenths
    for given, error, message in [
        ({"s1": 50.5}, ValueError, r's1 of "Spin" must be within -50..50, not 50.5'),
        ({"s2": -1}, ValueError, "within 0..100"),  # undescribed sliders take 0..100
        ({"option": 0}, ValueError, "within 1..3"),
        ({"option": 1.5}, TypeError, "whole number"),
        ({"s1": float("nan")}, ValueError, "finite"),
        ({"s1": "10"}, TypeError, "number"),
        ({"f1": 2}, TypeError, "True or False"),
        ({"color": (1, 2)}, ValueError, "three values"),
        ({"color": "red"}, TypeError, r"\(r, g, b\)"),
    ]:
        with pytest.raises(error, match=message):
            call_arguments(spin, given)


def test_bad_names_keywords_ranges_and_scripts_raise_before_anything_runs(tmp_path):
    bad = tmp_path / "bad.lua"
    bad.write_text('error("no such brush")\n')
    with corvel.Canvas(16, 16) as c:
        cases = [
            (("Gausian Blur",), {}, corvel.Error, 'unknown effect "Gausian Blur"'),
            (("gaussian blur",), {}, corvel.Error, "unknown effect"),  # names are exact
            ((None,), {}, corvel.Error, "unknown effect"),
            (("Gaussian Blur",), {"s2": 10}, corvel.Error, r"does not read s2 \(it reads s1, f1\)"),
            (("Negative",), {"s1": 10}, corvel.Error, "it reads nothing"),
            (("Blur",), {"s1": 100.5}, ValueError, "within 0..100"),
            (("Blur",), {"s1": -1}, ValueError, "within 0..100"),
            (("Drop Shadow",), {"color": (0, 0, 256)}, ValueError, "0..255"),
            (("Backgrounds Nature",), {"s1": 50, "text": str(tmp_path / "missing.isc")}, corvel.Error, "no file"),
            (("Lua Filter",), {"text": str(bad)}, corvel.Error, 'effect "Lua Filter": .*no such brush'),
        ]
        before = c.layers[0].pixels
        for args, kwargs, error, message in cases:
            with pytest.raises(error, match=message):
                c.effect(*args, **kwargs)
        assert (c.layers[0].pixels == before).all()
        assert not c.undo()  # nothing ran, nothing was recorded


def test_an_effect_is_one_undo_step():
    with corvel.Canvas(96, 64) as c:
        start = picture().astype(np.uint16) << 8
        c.layers[1].pixels = start
        c.effect("Negative")
        inverted = c.layers[1].pixels
        assert inverted[5, 5, 0] >> 8 == 255 - (start[5, 5, 0] >> 8)
        assert (inverted[..., 3] == start[..., 3]).all()
        c.effect("Gaussian Blur", s1=40)
        assert c.undo()
        assert (c.layers[1].pixels == inverted).all()
        assert c.undo()
        assert (c.layers[1].pixels == start).all()
        assert c.redo()
        assert (c.layers[1].pixels == inverted).all()


# Effects of different frames (premultiplied filter, in place, 24-bit, image-script
# distortion, tiled mosaic) with the command-line spelling of the same call.
SAME_AS_C = [
    ("Gaussian Blur", {"s1": 30}, ["--s1", "30"]),
    ("Adjust HSL", {"s1": 70, "s2": 40, "s3": 55.5}, ["--s1", "70", "--s2", "40", "--s3", "55.5"]),
    ("Emboss", {"s1": 30, "s2": 50, "s3": 60}, ["--s1", "30", "--s2", "50", "--s3", "60"]),
    ("Twirl", {"s1": 70, "s2": 50, "s3": 50, "f1": True}, ["--s1", "70", "--s2", "50", "--s3", "50", "--f1"]),
    ("Mosaic", {"s1": 20}, ["--s1", "20"]),
    ("Offset", {"s1": 30, "s2": 65, "option": 1, "color": (10, 200, 30)},
     ["--s1", "30", "--s2", "65", "--option", "1", "--color", "10,200,30"]),
]


@pytest.mark.skipif(not CLI, reason="needs CORVEL_CLI, the command-line host")
@pytest.mark.parametrize("name,kwargs,cli_args", SAME_AS_C, ids=[c[0] for c in SAME_AS_C])
def test_an_effect_matches_the_command_line_host_word_for_word(tmp_path, name, kwargs, cli_args):
    rgba = picture()
    src, out = tmp_path / "in.png", tmp_path / "out.png"
    Image.fromarray(rgba, "RGBA").save(src)
    subprocess.run([CLI, "effect", name, str(src), str(out), *cli_args], check=True, capture_output=True)
    theirs = np.asarray(Image.open(out).convert("RGBA"))
    with corvel.Canvas(rgba.shape[1], rgba.shape[0]) as c:
        c.layers[1].pixels = rgba.astype(np.uint16) << 8
        c.effect(name, **kwargs)
        ours = c.layers[1].pixels
    assert not np.array_equal(theirs, rgba), "the effect changed nothing"
    # The command writes the layer's high bytes; the low bytes are the 8-bit working images' zeros.
    assert np.array_equal(ours >> 8, theirs)
    assert not (ours & 0xFF).any()


def test_thread_counts_are_checked_and_give_the_same_picture():
    with pytest.raises(ValueError, match="thread count must be within 0..64, not 65"):
        corvel.set_threads(65)
    with pytest.raises(TypeError, match="thread count must be a whole number"):
        corvel.set_threads(1.5)
    results = []
    try:
        for n in (1, 3, 0):
            corvel.set_threads(n)
            assert corvel.threads() == n if n else corvel.threads() >= 1
            with corvel.Canvas(640, 480) as c:
                rgba = np.tile(picture(), (8, 7, 1))[:480, :640]
                c.layers[1].pixels = rgba
                c.effect("Gaussian Blur", s1=40)
                c.effect("Adjust Lab", s1=60, s2=40, s3=55)
                results.append(c.layers[1].pixels)
    finally:
        corvel.set_threads(0)
    assert (results[0] == results[1]).all() and (results[0] == results[2]).all()

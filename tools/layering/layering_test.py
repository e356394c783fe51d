#!/usr/bin/env python3
"""The layering check catches each kind of bad include, planted in a copy of the
real folder names, and passes the tree as it stands."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import layering  # noqa: E402

SRC = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src")


def tree(files):
    """A scratch src/ with one folder per floor-table entry and the given files."""
    root = tempfile.mkdtemp()
    for folder in layering.FLOORS:
        os.makedirs(os.path.join(root, folder))
    for path, text in files.items():
        os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
        with open(os.path.join(root, path), "w") as f:
            f.write(text)
    return root


class Layering(unittest.TestCase):
    def test_the_engine_as_it_stands_keeps_its_floors(self):
        self.assertEqual(layering.problems(SRC), [])

    def test_each_kind_of_bad_include_is_reported_with_its_place(self):
        cases = [
            ("core/engine.h", '#include "layers/layer_stack.h"\n', "up a floor"),
            ("brush/dab.cpp", '  #  include "view/view_render.h"\n', "up a floor"),
            ("brush/dab.cpp", '#include "mask/mask_state.h"\n', "on one floor"),
            ("view/view_render.cpp", '#include "ipl/text.h"\n', "on one floor"),
            ("imaging/filters/blur.cpp", '#include "core/engine.h"\n', "a library includes an engine folder"),
            ("platform/posix/files_posix.cpp", '#include "io/movie.h"\n', "a library includes an engine folder"),
            ("io/movie.cpp", '#include "exports/arguments.h"\n', "nothing includes exports/"),
            ("codecs/codec.cpp", '#include "draw/shapes.h"\n', "up a floor"),
        ]
        for path, text, why in cases:
            with self.subTest(path=path, text=text):
                found = layering.problems(tree({path: "// x\n" + text}))
                self.assertEqual(len(found), 1, found)
                self.assertIn(f"src/{path}:2:", found[0])
                self.assertIn(why, found[0])

    def test_downward_own_folder_and_the_layers_undo_pair_are_allowed(self):
        found = layering.problems(tree({
            "layers/layer_stack.cpp": '#include "undo/undo_store.h"\n#include "core/engine.h"\n',
            "undo/undo_save.cpp": '#include "layers/layer_stack.h"\n',
            "exports/a.cpp": '#include "io/movie.h"\n#include "exports/guard.h"\n#include <vector>\n',
            "draw/shapes.cpp": '#include "imaging/image_view.h"\n#include "shapes.h"\n',
        }))
        self.assertEqual(found, [])

    def test_a_folder_missing_from_the_table_is_reported(self):
        root = tree({"newthing/a.cpp": "\n"})
        self.assertEqual(len(layering.problems(root)), 1)
        self.assertIn("src/newthing/: not in the floor table", layering.problems(root)[0])

    def test_the_command_exits_non_zero_on_a_planted_include(self):
        root = tree({"core/rand.cpp": '#include "brush/dab.h"\n'})
        self.assertEqual(layering.main(["layering.py", root]), 1)
        self.assertEqual(layering.main(["layering.py", SRC]), 0)


if __name__ == "__main__":
    unittest.main()

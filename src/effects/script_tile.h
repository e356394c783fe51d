// Tiles for the script-driven effects: an image script rendered (or, when the
// path is not a script, read as an ordinary image file) and repeated over the
// canvas.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/image_view.h"

namespace cvl {

// The picture the path names: its script's render, else the image file. False,
// leaving `out` empty, when it is neither.
bool render_script_or_image(const char* path, imaging::Image& out);

// Repeats a packed RGBA32 tile from (0, 0) over a packed width x height RGBA32
// image, every pixel made opaque. With `mirror`, every other column of tiles is
// flipped left to right and every other row top to bottom, so neighbours meet
// along matching edges.
void repeat_tile(const imaging::Image& tile, uint8_t* out, int32_t width, int32_t height, bool mirror = false);

// The tile resized (bicubic) to `percent` of its size, each side at least one
// pixel and at most 8192; the tile itself when the size does not change.
imaging::Image scale_tile(const imaging::Image& tile, double percent);

// The path's picture repeated over a width x height image; false when it cannot be read.
bool tiled_script(const char* path, int32_t width, int32_t height, imaging::Image& out);

// tiled_script's image with `op(pixels, width, height)` run over it, for an op
// whose every pixel depends only on itself and its eight neighbours, edges
// repeated outward (a 3 x 3 slope, say). Such an op gives every pixel inside the
// image that sits at the same place in its tile the same result, so it runs on a
// small repeat holding each place of the tile inside it and the image's own edges
// at the same places, and that repeat is spread over the image. False when the
// path cannot be read or op fails.
using TileOp = std::function<bool(uint8_t* rgba, int32_t width, int32_t height)>;
bool tiled_script_through(const char* path, int32_t width, int32_t height, const TileOp& op, imaging::Image& out);

// The grey (imaging::image_to_grey) of tiled_script's image, width bytes a row:
// the tile's grey repeated, without the full-size colour image between them.
bool tiled_script_grey(const char* path, int32_t width, int32_t height, std::vector<uint8_t>& grey);

}  // namespace cvl

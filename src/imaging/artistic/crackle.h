// Crackle: the picture broken into irregular tiles by a network of thin cracks,
// like old glaze or dried paint.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// src -> dst, RGB24 views of one size that do not overlap. Tiles are the cells
// round points scattered one to each cell x cell square (from a fixed seed, so
// the same size always cracks alike); the cracks between them are darkened, or
// lightened with `light`, and with `shade` each tile is pillowed, darker towards
// its rim. False for unusable views or a cell below 2.
bool crackle_image(const ImageView& src, const ImageView& dst, int32_t cell, bool light, bool shade);

// The same one pixel after another: the reference crackle_image is checked
// against.
bool crackle_image_reference(const ImageView& src, const ImageView& dst, int32_t cell, bool light, bool shade);

}  // namespace cvl::imaging

// Rotations by whole quarter turns: exact pixel moves, no resampling.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// Clockwise turns.
enum class QuarterTurn { Right = 1, Half = 2, Left = 3 };

// Writes `src` turned into `dst`, which must be height x width for Right and
// Left, width x height for Half, with the same channel count. Returns false
// (and writes nothing) when the sizes do not fit.
bool rotate_quarter(const ImageView& src, const ImageView& dst, QuarterTurn turn);

}  // namespace cvl::imaging

// The walk shared by the whole-canvas geometric operations: every layer from
// slot 1 up to the top layer (the trace layer in slot 0 is never touched) is
// read as a canvas-sized RGBA32 copy, changed by the operation and written back.
//
// A layer whose operation fails stays as it was, and the walk goes on. If a
// work image cannot be had nothing happens at all.
#pragma once

#include <cstdint>
#include <functional>

#include "imaging/image_view.h"
#include "imaging/geometry/resample_separable.h"

namespace cvl {

struct Engine;

// Every walk is over the layers of `canvas`, whose size the copies take.

// Changes the canvas-sized copy in place; false leaves the layer alone.
using InPlaceLayerOp = std::function<bool(const imaging::ImageView& work)>;
// Makes the new-size output from the canvas-sized copy of the layer in `slot`.
using ResizingLayerOp =
    std::function<bool(const imaging::ImageView& work, const imaging::ImageView& out, int32_t slot)>;

// Loads the changed copy back into the same layer. The alpha lock is honoured,
// so a locked layer keeps its alpha where it was.
void for_each_layer_in_place(Engine& canvas, const InPlaceLayerOp& op);

// Replaces each layer by a new one of new_width x new_height holding the
// output, laid out at the new size (ready for the canvas to follow). The alpha lock is lifted for the reload, so the new layer takes the
// transformed alpha, and restored afterwards. A layer that cannot be made again
// leaves its slot empty.
void for_each_layer_resized(Engine& canvas, int32_t new_width, int32_t new_height, const ResizingLayerOp& op);

// The same for operations that read the layer a row at a time: the rows are
// the layer narrowed to 8 bits over the canvas, as the copy would hold them,
// made as they are asked for, so no canvas-sized copy is needed.
using StreamingLayerOp =
    std::function<bool(const imaging::RowSource& layer_rows, const imaging::ImageView& out)>;
void for_each_layer_streamed(Engine& canvas, int32_t new_width, int32_t new_height, const StreamingLayerOp& op);

}  // namespace cvl

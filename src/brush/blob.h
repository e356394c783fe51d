// The "blob" conversion: a layer turned in place into a grey relief whose alpha
// follows the brightness, used as a shape for the image brush.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Mode 1 pulls every channel toward mid-grey in proportion to its distance from
// it; any other mode makes the colour flat mid-grey. Returns the rows processed
// (0 when the slot holds no pixels).
int32_t create_blob_from_image(Engine& e, int32_t slot, int32_t mode);

}  // namespace cvl

// Names of the layer mix modes 0..40 as hosts give them.
#pragma once

#include <cstdint>

namespace cvl {

constexpr int kMixModeCount = 41;
constexpr int kModeTexturize3 = 19;
constexpr int kModeLayerMask = 38;

// The mode number of a name: exact, case-sensitive; unknown or null names give 0 ("Normal").
int32_t mode_from_name(const char* name);
// The name of mode n ("" for 20 and out-of-range numbers).
const char* mode_name(int32_t mode);

}  // namespace cvl

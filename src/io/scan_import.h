// Scanned images: the device choice and one acquisition into the new-RGBA buffer.
#pragma once

#include <cstdint>

namespace cvl {

// 1 when a scanner can be used, else 0.
int32_t is_twain();
// 1 when a scanner exists and the person chose one, else 0.
int32_t twain_select_source();
// 1 when the new-RGBA buffer now holds the scanned image, else 0.
int32_t twain_acquire();

}  // namespace cvl

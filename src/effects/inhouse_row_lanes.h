// Rows of the one-pixel in-house operations the recipes run most (grey,
// invert), eight pixels at a time on processors with AVX2. `in` and `out` are
// RGBA rows of n pixels and may be the same row.
#pragma once

#include <cstdint>

namespace cvl::inhouse_rows {

// Red, green and blue all become (r + g + b) / 3; alpha stays.
void grey_row(const uint8_t* in, uint8_t* out, int32_t n);
// Red, green and blue become 255 minus themselves; alpha stays.
void invert_row(const uint8_t* in, uint8_t* out, int32_t n);

// Tests turn the lanes off to hold the plain loops to the same bytes.
void use_portable_rows(bool on);

}  // namespace cvl::inhouse_rows

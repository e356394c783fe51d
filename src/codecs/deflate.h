// Whole-buffer deflate and inflate (zlib streams).
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvl::imaging {

// Compresses `size` bytes into `dst` at `level` (0 = stored .. 9 = smallest; any other
// value takes the library's default). Returns the compressed length, 0 when the result
// does not fit into `capacity` or the arguments are unusable.
size_t deflate_buffer(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity, int32_t level);

// Inflates a stream written by deflate_buffer into `dst`. Returns the bytes produced:
// all of them for a whole stream, the part that fits when `dst` is too small, what came
// out before the end for a cut stream, and 0 for a damaged one.
size_t inflate_buffer(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity);

}  // namespace cvl::imaging

#include "codecs/deflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace cvl::imaging {

namespace {

// zlib counts in unsigned int; larger buffers are fed in slices.
constexpr size_t kSlice = UINT_MAX;

void feed(z_stream& z, const uint8_t*& in, size_t& in_left, uint8_t*& out, size_t& out_left) {
  const uInt give_in = static_cast<uInt>(std::min(in_left, kSlice));
  const uInt give_out = static_cast<uInt>(std::min(out_left, kSlice));
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = give_in;
  z.next_out = out;
  z.avail_out = give_out;
}

void consume(const z_stream& z, const uint8_t*& in, size_t& in_left, uint8_t*& out, size_t& out_left, uInt gave_in,
             uInt gave_out) {
  in += gave_in - z.avail_in;
  in_left -= gave_in - z.avail_in;
  out += gave_out - z.avail_out;
  out_left -= gave_out - z.avail_out;
}

}  // namespace

size_t deflate_buffer(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity, int32_t level) {
  if (!src || !dst || capacity == 0) return 0;
  if (level < 0 || level > 9) level = Z_DEFAULT_COMPRESSION;
  z_stream z{};
  if (deflateInit(&z, level) != Z_OK) return 0;
  const uint8_t* in = src;
  uint8_t* out = dst;
  size_t in_left = size, out_left = capacity;
  int rc = Z_OK;
  while (rc == Z_OK) {
    feed(z, in, in_left, out, out_left);
    const uInt gave_in = z.avail_in, gave_out = z.avail_out;
    const bool last = in_left == gave_in;
    rc = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
    consume(z, in, in_left, out, out_left, gave_in, gave_out);
    if (rc == Z_OK && out_left == 0) rc = Z_BUF_ERROR;  // the output is full before the end
  }
  deflateEnd(&z);
  return rc == Z_STREAM_END ? capacity - out_left : 0;
}

size_t inflate_buffer(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity) {
  if (!src || !dst || size == 0 || capacity == 0) return 0;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return 0;
  const uint8_t* in = src;
  uint8_t* out = dst;
  size_t in_left = size, out_left = capacity;
  int rc = Z_OK;
  while (rc == Z_OK && out_left > 0) {
    feed(z, in, in_left, out, out_left);
    const uInt gave_in = z.avail_in, gave_out = z.avail_out;
    rc = inflate(&z, Z_NO_FLUSH);
    consume(z, in, in_left, out, out_left, gave_in, gave_out);
  }
  inflateEnd(&z);
  // Z_BUF_ERROR only says that no more progress was possible: the stream was cut.
  if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) return 0;
  return capacity - out_left;
}

}  // namespace cvl::imaging

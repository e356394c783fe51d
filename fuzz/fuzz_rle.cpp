// Arbitrary run-length streams for the colour and mask row decoders. The first byte
// picks the format, the next two the row length; the rest is the stream. Decoders
// must stay inside the stream and the row, and whatever they decode must survive a
// round trip through the encoder.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <vector>

#include "undo/rle_codec.h"

namespace {

using Decode = int32_t (*)(const uint8_t*, size_t, uint16_t*, int32_t);
using Encode = int32_t (*)(const uint16_t*, uint8_t*, int32_t);

void check(const uint8_t* s, size_t n, int32_t count, int channels, Decode decode, Encode encode) {
  const size_t run = size_t(channels) + 1;
  std::vector<uint16_t> bounded(size_t(count) * size_t(channels));
  const int32_t written = decode(s, n, bounded.data(), count);
  if (written < 0 || written > count) __builtin_trap();

  // Without a length the decoder must stop at a zero-length run: two runs of zeros
  // after the stream give it one on every run boundary.
  std::vector<uint8_t> padded(s, s + n);
  padded.resize(n + 2 * run, 0);
  std::vector<uint16_t> unbounded(bounded.size());
  const int32_t w2 = decode(padded.data(), cvl::kUnknownStreamLength, unbounded.data(), count);
  if (n % run == 0 && (w2 != written || unbounded != bounded)) __builtin_trap();

  if (written == 0) return;
  std::vector<uint8_t> stream(size_t(written) * run);
  const int32_t bytes = encode(bounded.data(), stream.data(), written);
  std::vector<uint16_t> again(size_t(written) * size_t(channels));
  if (decode(stream.data(), size_t(bytes), again.data(), written) != written ||
      !std::equal(again.begin(), again.end(), bounded.begin()))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int32_t count = int32_t(data[1] | (data[2] & 0x0F) << 8);
  if (data[0] & 1)
    check(data + 3, size - 3, count, 1, cvl::rle_uncompress_g8, cvl::rle_compress_g16);
  else
    check(data + 3, size - 3, count, 4, cvl::rle_uncompress_rgba32, cvl::rle_compress_rgba64);
  return 0;
}

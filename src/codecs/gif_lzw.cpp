#include "codecs/gif_lzw.h"

#include <array>

namespace cvl::imaging {
namespace {

constexpr int kMaxCodes = 4096;  // codes are at most 12 bits wide

// The sub-blocks joined: each starts with its length, a zero length ends them.
bool join_blocks(ByteReader& r, std::vector<uint8_t>& data) {
  for (;;) {
    const uint8_t n = r.u8();
    if (!r.ok()) return false;
    if (n == 0) return true;
    const uint8_t* block = r.take(n);
    if (!block) return false;
    data.insert(data.end(), block, block + n);
  }
}

}  // namespace

bool decode_gif_lzw(ByteReader& r, size_t count, std::vector<uint16_t>& indices) {
  const int min_size = r.u8();
  if (!r.ok() || min_size < 2 || min_size > 11) return false;
  std::vector<uint8_t> data;
  if (!join_blocks(r, data)) return false;
  indices.clear();
  indices.reserve(count);
  const int clear = 1 << min_size, end = clear + 1;
  std::array<uint16_t, kMaxCodes> prefix{}, suffix{}, length{};
  for (int i = 0; i < clear; ++i) suffix[size_t(i)] = uint16_t(i), length[size_t(i)] = 1;
  int width = min_size + 1, next = clear + 2, previous = -1;
  uint32_t bits = 0;
  int held = 0;
  size_t at = 0;
  while (indices.size() < count) {
    while (held < width && at < data.size()) bits |= uint32_t(data[at++]) << held, held += 8;
    if (held < width) return false;
    const int code = int(bits & ((1u << width) - 1));
    bits >>= width, held -= width;
    if (code == clear) {
      width = min_size + 1, next = clear + 2, previous = -1;
      continue;
    }
    if (code == end) break;
    if (previous < 0) {
      if (code >= clear) return false;
      indices.push_back(uint16_t(code));
      previous = code;
      continue;
    }
    if (code > next || (code == next && next >= kMaxCodes)) return false;
    // The string of `code`, written backwards from its last index; a code not yet
    // in the table is the previous string and its own first index.
    const int known = code < next ? code : previous;
    const size_t start = indices.size(), n = length[size_t(known)];
    indices.resize(start + n + (code == next ? 1 : 0));
    int c = known;
    for (size_t i = n; i-- > 0; c = prefix[size_t(c)]) indices[start + i] = suffix[size_t(c)];
    const uint16_t first = indices[start];
    if (code == next) indices.back() = first;
    if (next < kMaxCodes) {
      prefix[size_t(next)] = uint16_t(previous);
      suffix[size_t(next)] = first;
      length[size_t(next)] = uint16_t(length[size_t(previous)] + 1);
      if (++next == 1 << width && width < 12) ++width;
    }
    previous = code;
  }
  if (indices.size() < count) return false;
  indices.resize(count);
  return true;
}

}  // namespace cvl::imaging

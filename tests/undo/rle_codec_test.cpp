#include "undo/rle_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "core/rand.h"
#include "corvel/corvel.h"

namespace cvl {
namespace {

using Bytes = std::vector<uint8_t>;
using Words = std::vector<uint16_t>;

Words pixels(std::initializer_list<std::array<uint16_t, 4>> list, int repeat = 1) {
  Words out;
  for (int i = 0; i < repeat; ++i)
    for (const auto& p : list) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes compress_rgba(const Words& px) {
  Bytes out(px.size() / 4 * 5 + 5, 0xEE);
  out.resize(static_cast<size_t>(CVL_RLECompressRGBA64ToRGBA32(px.data(), out.data(), int32_t(px.size() / 4))));
  return out;
}

Bytes compress_mask(const Words& w) {
  Bytes out(w.size() * 2 + 2, 0xEE);
  out.resize(static_cast<size_t>(CVL_RLECompressG16ToG8(w.data(), out.data(), int32_t(w.size()))));
  return out;
}

TEST(RleCodec, ColourStreamsAreByteExact) {
  struct Case {
    const char* what;
    Words in;
    Bytes stream;
  };
  const Case cases[] = {
      {"300 equal pixels: a full run and the rest", pixels({{0x1200, 0x3400, 0x5600, 0x7800}}, 300),
       {255, 0x12, 0x34, 0x56, 0x78, 45, 0x12, 0x34, 0x56, 0x78}},
      {"low bytes are not stored", pixels({{0x12FF, 0x3401, 0x5680, 0x78FE}, {0x1200, 0x34FF, 0x5600, 0x7801}}),
       {2, 0x12, 0x34, 0x56, 0x78}},
      {"any high byte starts a new run", pixels({{0, 0, 0, 0xFF00}, {0, 0, 0x100, 0xFF00}, {0, 0, 0x100, 0xFF00}}),
       {1, 0, 0, 0, 0xFF, 2, 0, 0, 1, 0xFF}},
      {"exactly 255", pixels({{0xFFFF, 0, 0, 0}}, 255), {255, 0xFF, 0, 0, 0}},
      {"256 splits one off", pixels({{0xFFFF, 0, 0, 0}}, 256), {255, 0xFF, 0, 0, 0, 1, 0xFF, 0, 0, 0}},
      {"a single pixel", pixels({{0xAB00, 1, 2, 0xCD00}}), {1, 0xAB, 0, 0, 0xCD}},
  };
  for (const Case& c : cases) EXPECT_EQ(compress_rgba(c.in), c.stream) << c.what;

  // Below two pixels the first pixel is still described, whatever the count says.
  const Words one = pixels({{0x0900, 0x0800, 0x0700, 0x0600}});
  Bytes out(5);
  EXPECT_EQ(CVL_RLECompressRGBA64ToRGBA32(one.data(), out.data(), 0), 5);
  EXPECT_EQ(out, (Bytes{1, 9, 8, 7, 6}));
  EXPECT_EQ(CVL_RLECompressRGBA64ToRGBA32(nullptr, out.data(), 4), 0);
  EXPECT_EQ(CVL_RLECompressRGBA64ToRGBA32(one.data(), nullptr, 1), 0);
}

TEST(RleCodec, MaskStreamsAreByteExact) {
  struct Case {
    const char* what;
    Words in;
    Bytes stream;
  };
  Words alternating;
  for (int i = 0; i < 40; ++i) alternating.push_back(i % 2 ? 0x12FF : 0x1234);
  const Case cases[] = {
      {"alternating low bytes are one run", alternating, {40, 0x12}},
      {"300 equal words", Words(300, 0xFFFF), {255, 0xFF, 45, 0xFF}},
      {"changes of the high byte", {0x0000, 0x00FF, 0x0100, 0xFF00, 0xFFFF}, {2, 0x00, 1, 0x01, 2, 0xFF}},
      {"a single word", {0xAB12}, {1, 0xAB}},
  };
  for (const Case& c : cases) EXPECT_EQ(compress_mask(c.in), c.stream) << c.what;
  const Words w{0x4200};
  Bytes out(2);
  EXPECT_EQ(CVL_RLECompressG16ToG8(w.data(), out.data(), 0), 2);
  EXPECT_EQ(out, (Bytes{1, 0x42}));
}

// Random rows with long and short runs: decoding gives the row with its low bytes
// cleared, and compressing the decoded row gives the same stream back.
TEST(RleCodec, RandomRowsRoundTripAndRecompressIdentically) {
  crt_srand(5);
  for (int trial = 0; trial < 50; ++trial) {
    const int n = 1 + crt_rand() % 1500;
    Words px(size_t(n) * 4), mask(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      const bool repeat = i > 0 && crt_rand() % 8 != 0;
      for (int c = 0; c < 4; ++c)
        px[size_t(i) * 4 + c] = repeat ? uint16_t((px[size_t(i - 1) * 4 + c] & 0xFF00) | (crt_rand() & 0xFF))
                                       : uint16_t(crt_rand() << 1);
      mask[size_t(i)] = repeat ? uint16_t((mask[size_t(i) - 1] & 0xFF00) | 0x77) : uint16_t(crt_rand() << 1);
    }
    const Bytes s = compress_rgba(px), m = compress_mask(mask);
    Words back(px.size(), 0xAAAA), mback(mask.size(), 0xAAAA);
    ASSERT_EQ(CVL_RLEUncompressRGBA32ToRGBA64(s.data(), back.data(), n), n);
    ASSERT_EQ(CVL_RLEUncompressG8ToG16(m.data(), mback.data(), n), n);
    for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(back[i], px[i] & 0xFF00) << trial << " word " << i;
    for (size_t i = 0; i < mask.size(); ++i) ASSERT_EQ(mback[i], mask[i] & 0xFF00) << trial << " word " << i;
    EXPECT_EQ(compress_rgba(back), s);
    EXPECT_EQ(compress_mask(mback), m);
  }
}

// Streams that no encoder writes end the decode safely: a zero-length run stops
// it (the unbounded decoders would otherwise walk on through memory), a run past the
// count is cut short, and the bounded decoders never read a partial run.
TEST(RleCodec, MalformedStreamsStopWithoutOverrunning) {
  struct Case {
    const char* what;
    Bytes stream;
    int32_t stream_bytes;  // -1: unbounded call
    int32_t count;
    int32_t written;
  };
  const Case cases[] = {
      {"zero-length run ends the row", {2, 1, 2, 3, 4, 0, 9, 9, 9, 9, 3, 5, 5, 5, 5}, -1, 8, 2},
      {"zero-length run first", {0, 1, 1, 1, 1}, -1, 8, 0},
      {"a run past the count is cut", {200, 1, 2, 3, 4}, -1, 3, 3},
      {"bounded: cut inside a run", {2, 1, 2, 3, 4, 5, 7, 7}, 8, 10, 2},
      {"bounded: empty stream", {}, 0, 10, 0},
      {"bounded: zero-length run", {1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2}, 15, 10, 1},
  };
  for (const Case& c : cases) {
    Words out(size_t(c.count) * 4 + 4, 0xBEEF);
    const int32_t got =
        c.stream_bytes < 0
            ? CVL_RLEUncompressRGBA32ToRGBA64(c.stream.data(), out.data(), c.count)
            : CVL_RLEUncompressRGBA32ToRGBA64Bounded(c.stream.data(), out.data(), c.count, c.stream_bytes);
    EXPECT_EQ(got, c.written) << c.what;
    for (size_t i = size_t(got) * 4; i < out.size(); ++i) ASSERT_EQ(out[i], 0xBEEF) << c.what << " word " << i;
  }
  const Bytes mask{3, 0x80, 0, 0x10, 4, 0x20};
  Words out(8, 0xBEEF);
  EXPECT_EQ(CVL_RLEUncompressG8ToG16(mask.data(), out.data(), 8), 3);
  EXPECT_EQ(out, (Words{0x8000, 0x8000, 0x8000, 0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF}));
  EXPECT_EQ(CVL_RLEUncompressG8ToG16Bounded(mask.data() + 2, out.data(), 8, 1), 0);
  EXPECT_EQ(CVL_RLEUncompressG8ToG16Bounded(mask.data() + 4, out.data(), 2, 2), 2);
  EXPECT_EQ(out[0], 0x2000);
  EXPECT_EQ(out[2], 0x8000);
}

}  // namespace
}  // namespace cvl

// A layer made at another size than the canvas (left over from a canvas resize, or made
// so by the host) is one canvas-sized image to every export that writes or reads its
// pixels: whatever one writes, all the others read back at the same canvas position.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/canvas_geometry.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using test::Pixel;

constexpr int kW = 16, kH = 8;
constexpr int kSlot = 3;
constexpr Pixel kUnread = {1, 2, 3, 4};  // no writer or reader produces these words

// The picture every writer stores: 8-bit values in the high bytes, alpha never 0.
Pixel picture(int x, int y) {
  return {uint16_t(((x * 37 + y * 11) % 256) << 8), uint16_t(((y * 53 + x) % 256) << 8),
          uint16_t(((x * y * 7) % 256) << 8), uint16_t((40 + (x + y * kW) % 200) << 8)};
}

using Image64 = std::vector<Pixel>;

struct Writer {
  const char* name;
  std::function<void()> write;
  Pixel (*stored)(Pixel);  // what the writer leaves of the picture's pixel
  bool within_layer_size;  // the RGBA32 loaders also stop at the layer's own width and height
};

struct Reader {
  const char* name;
  std::function<Image64()> read;
  Pixel (*seen)(Pixel);    // what survives of a stored pixel in this reader
  Pixel unheld = kUnread;  // what it gives where the layer holds no pixel
};

Pixel as_is(Pixel p) { return p; }
Pixel opaque(Pixel p) { return {p[0], p[1], p[2], 65535}; }
Pixel alpha_ff00(Pixel p) { return {p[0], p[1], p[2], 0xFF00}; }
Pixel high_bytes(Pixel p) { return {uint16_t(p[0] & 0xFF00), uint16_t(p[1] & 0xFF00), uint16_t(p[2] & 0xFF00), uint16_t(p[3] & 0xFF00)}; }
Pixel colour_bytes(Pixel p) { return {uint16_t(p[0] & 0xFF00), uint16_t(p[1] & 0xFF00), uint16_t(p[2] & 0xFF00), 0}; }
Pixel alpha_as_grey(Pixel p) {
  const uint16_t a = p[3] & 0xFF00;
  return {a, a, a, 0};
}

std::vector<uint16_t> rgba64_picture() {
  std::vector<uint16_t> v;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      for (uint16_t w : picture(x, y)) v.push_back(w);
  return v;
}
std::vector<uint8_t> bytes_picture(int channels, bool bgr) {
  std::vector<uint8_t> v;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const Pixel p = picture(x, y);
      for (int c = 0; c < channels; ++c) v.push_back(uint8_t(p[bgr && c < 3 ? 2 - c : c] >> 8));
    }
  return v;
}

Image64 from_words(const std::vector<uint16_t>& words) {
  Image64 out(kW * kH);
  for (size_t i = 0; i < out.size(); ++i) out[i] = {words[i * 4], words[i * 4 + 1], words[i * 4 + 2], words[i * 4 + 3]};
  return out;
}
// 8-bit pixels widened back; the untouched pattern of unread_bytes() reads as kUnread.
Image64 from_bytes(const std::vector<uint8_t>& bytes, int channels) {
  Image64 out(kW * kH, kUnread);
  for (size_t i = 0; i < out.size(); ++i) {
    const uint8_t* b = &bytes[i * channels];
    bool untouched = true;
    for (int c = 0; c < channels; ++c) untouched &= b[c] == kUnread[c];
    if (untouched) continue;
    out[i] = {uint16_t(b[0] << 8), uint16_t(b[1] << 8), uint16_t(b[2] << 8), uint16_t(channels == 4 ? b[3] << 8 : 0)};
  }
  return out;
}
Image64 probed(const std::function<Pixel(int, int)>& probe) {
  Image64 out(kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) out[y * kW + x] = probe(x, y);
  return out;
}
// Words beyond the picture's 8-bit range mark unread 64-bit pixels.
std::vector<uint16_t> unread_words() {
  std::vector<uint16_t> v;
  for (int i = 0; i < kW * kH; ++i) v.insert(v.end(), kUnread.begin(), kUnread.end());
  return v;
}

std::vector<uint8_t> unread_bytes(int channels) {
  std::vector<uint8_t> v;
  for (int i = 0; i < kW * kH; ++i)
    for (int c = 0; c < channels; ++c) v.push_back(uint8_t(kUnread[c]));
  return v;
}

const std::vector<Writer>& writers() {
  static const std::vector<Writer> w = {
      {"SetRGBA64Layer", [] { CVL_SetRGBA64Layer(rgba64_picture().data(), kW * 8, kSlot); }, as_is, false},
      {"SetLayerData", [] { CVL_SetLayerData(rgba64_picture().data(), kSlot); }, as_is, false},
      {"LoadRGBA32Layer", [] { CVL_LoadRGBA32Layer(bytes_picture(4, false).data(), kW * 4, kSlot, 0, 0, 99, 99, 0); },
       as_is, true},
      {"LoadRGBA32", [] { CVL_LoadRGBA32(bytes_picture(4, false).data(), kW * 4, 0); }, as_is, true},
      {"Load", [] { CVL_Load(bytes_picture(3, true).data(), kW * 3, kW, kH); }, opaque, false},
      {"Clear then LoadRGB24",
       [] {
         CVL_Clear(0, 0, 0, 255);
         CVL_LoadRGB24(bytes_picture(3, false).data(), kW * 3, 0);
       },
       alpha_ff00, false},
  };
  return w;
}

// Readers into a caller buffer that starts out as the unread pattern.
std::function<Image64()> into_words(void (*read)(uint16_t*)) {
  return [read] {
    auto v = unread_words();
    read(v.data());
    return from_words(v);
  };
}
std::function<Image64()> into_bytes(int channels, void (*read)(uint8_t*)) {
  return [channels, read] {
    auto v = unread_bytes(channels);
    read(v.data());
    return from_bytes(v, channels);
  };
}
Pixel unpacked_rgba(int32_t packed) {
  const uint32_t v = uint32_t(packed);
  return {uint16_t(v >> 16 & 0xFF00), uint16_t(v >> 8 & 0xFF00), uint16_t(v & 0xFF00), uint16_t(v << 8 & 0xFF00)};
}

const std::vector<Reader>& readers() {
  static const std::vector<Reader> r = {
      {"GetRGBA64Layer", into_words([](uint16_t* d) { CVL_GetRGBA64Layer(d, kW * 8, kSlot); }), as_is},
      {"GetRGBA64LayerRect", into_words([](uint16_t* d) { CVL_GetRGBA64LayerRect(d, kW * 8, kSlot, 0, 0, kW, kH); }),
       as_is},
      {"GetLayerData", into_words([](uint16_t* d) { CVL_GetLayerData(d, kSlot); }), as_is},
      {"GetRGBA32Layer", into_bytes(4, [](uint8_t* d) { CVL_GetRGBA32Layer(d, kW * 4, kSlot); }), high_bytes},
      {"GetRGBA32", into_bytes(4, [](uint8_t* d) { CVL_GetRGBA32(d, kW * 4); }), high_bytes},
      {"GetRGB24Layer", into_bytes(3, [](uint8_t* d) { CVL_GetRGB24Layer(d, kW * 3, kSlot); }), colour_bytes},
      {"GetRGB24", into_bytes(3, [](uint8_t* d) { CVL_GetRGB24(d, kW * 3); }), colour_bytes},
      {"GetRGB24FromAlpha", into_bytes(3, [](uint8_t* d) { CVL_GetRGB24FromAlpha(d, kW * 3); }), alpha_as_grey},
      {"GetRGBAAtLayer", [] { return probed([](int x, int y) { return unpacked_rgba(CVL_GetRGBAAtLayer(x, y, kSlot)); }); },
       high_bytes, Pixel{}},
      {"GetRGBAAtSurface", [] { return probed([](int x, int y) { return unpacked_rgba(CVL_GetRGBAAtSurface(x, y)); }); },
       high_bytes, Pixel{}},
      {"GetColorAtLayer",
       [] {
         return probed([](int x, int y) {
           const int32_t v = CVL_GetColorAtLayer(x, y, kSlot);
           return v == -1 ? Pixel{} : Pixel{uint16_t(v >> 8 & 0xFF00), uint16_t(v & 0xFF00), uint16_t(v << 8 & 0xFF00), 0};
         });
       },
       colour_bytes, Pixel{}},
      {"GetRed64..GetAlpha64",
       [] {
         return probed([](int x, int y) {
           return Pixel{uint16_t(CVL_GetRed64(x, y)), uint16_t(CVL_GetGreen64(x, y)), uint16_t(CVL_GetBlue64(x, y)),
                        uint16_t(CVL_GetAlpha64(x, y))};
         });
       },
       as_is, Pixel{}},
  };
  return r;
}

class LayerAddressing : public test::CanvasTest {
 protected:
  void SetUp() override { make_canvas(kW, kH, 16); }
};

TEST_F(LayerAddressing, EveryWriterAndReaderAgreeOnALayerOfAnotherSize) {
  struct Size {
    int w, h;
  };
  // Larger both ways, narrower and shorter (two canvas rows of pixels), a partial last
  // row (three rows and twelve pixels), and the canvas's own size.
  const Size sizes[] = {{24, 12}, {8, 4}, {20, 3}, {kW, kH}};
  for (const Size& size : sizes) {
    ASSERT_EQ(CVL_CreateLayer(kSlot, size.w, size.h), 1);
    CVL_SetLayer(kSlot);
    const size_t held = size_t(size.w) * size.h;  // canvas pixels the layer has room for
    for (const Writer& w : writers()) {
      CVL_CreateLayer(kSlot, size.w, size.h);  // cleared, so nothing of the last writer stays
      w.write();
      for (const Reader& r : readers()) {
        SCOPED_TRACE(std::to_string(size.w) + "x" + std::to_string(size.h) + " " + w.name + " -> " + r.name);
        const Image64 got = r.read();
        int wrong = 0;
        for (int i = 0; i < kW * kH; ++i) {
          const int x = i % kW, y = i / kW;
          const bool written = !w.within_layer_size || (x < size.w && y < size.h);
          const Pixel want = size_t(i) >= held ? r.unheld : written ? r.seen(w.stored(picture(x, y))) : r.seen(Pixel{});
          if (got[i] != want && wrong++ == 0) ADD_FAILURE() << "first at (" << x << ", " << y << ")";
        }
        EXPECT_EQ(wrong, 0);
      }
      // The data extents run over the same canvas pixels.
      int32_t l = -1, t = -1, r = -1, b = -1;
      CVL_FindDataExtentsLayer(kSlot, &l, &t, &r, &b);
      int rows = int(std::min<size_t>(kH, (held + kW - 1) / kW));
      int right = held >= size_t(kW) ? kW - 1 : int(held) - 1;
      if (w.within_layer_size) rows = std::min(rows, size.h), right = std::min(right, size.w - 1);
      EXPECT_EQ(l, 0) << w.name;
      EXPECT_EQ(t, 0) << w.name;
      EXPECT_EQ(r, right) << w.name;
      EXPECT_EQ(b, rows - 1) << w.name;
    }
  }
}

// Rectangles and probes that lie past the pixels a smaller layer holds stay inside it.
TEST_F(LayerAddressing, ReadsPastASmallerLayerLeaveTheBufferAlone) {
  ASSERT_EQ(CVL_CreateLayer(kSlot, 4, 2), 1);  // eight pixels: half of the first canvas row
  CVL_SetLayer(kSlot);
  CVL_Clear(255, 255, 255, 255);
  auto v = unread_words();
  CVL_GetRGBA64LayerRect(v.data(), 3 * 8, kSlot, 6, 0, 3, 2);  // columns 6..8 of rows 0..1
  EXPECT_EQ((Pixel{v[0], v[1], v[2], v[3]}), (Pixel{0xFF00, 0xFF00, 0xFF00, 0xFF00}));  // (6, 0)
  EXPECT_EQ((Pixel{v[8], v[9], v[10], v[11]}), kUnread);                                // (8, 0)
  EXPECT_EQ((Pixel{v[12], v[13], v[14], v[15]}), kUnread);                              // (6, 1)
  EXPECT_EQ(CVL_GetRGBAAtLayer(kW + 5, kH + 5, kSlot), 0);  // clamped to (15, 7): not held
  EXPECT_EQ(CVL_GetColorAtLayer(-3, -3, kSlot), 0xFFFFFF);  // clamped to (0, 0)
  // The RGBA32 loader stops at the layer's own width and height as well.
  EXPECT_EQ(CVL_LoadRGBA32Layer(bytes_picture(4, false).data(), kW * 4, kSlot, 0, 0, kW, kH, 0), 2);
  EXPECT_EQ(CVL_GetAlpha64(3, 0), picture(3, 0)[3]);
  EXPECT_EQ(CVL_GetAlpha64(7, 0), 0xFF00);
  EXPECT_EQ(CVL_GetAlpha64(8, 0), 0);
}

}  // namespace
}  // namespace cvl

// The loaders write fully selected runs as plain rows and weigh only the pixels
// between them. Here a mask of mixed runs (lengths across the four-pixel steps,
// words just below and at the thresholds) is loaded through, and every pixel
// must come out as the per-pixel weighting gives it.
#include <algorithm>
#include <array>
#include <vector>

#include "core/pixel_convert.h"
#include "imaging/lcg15.h"
#include "layers/filter_prep.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using test::Pixel;
constexpr int kW = 37, kH = 5;

uint16_t widen(uint8_t v) { return static_cast<uint16_t>(v << 8); }
uint16_t blend_in(uint32_t s, uint32_t w, uint32_t old) {
  return static_cast<uint16_t>((s * w + ((old * (65535u - w)) >> 8)) >> 8);
}

class SelectionRuns : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(kW, kH, 8);
    imaging::Lcg15 rng(7);
    const auto next = [&](int n) { return rng.next() % n; };
    // Runs of one word each, 1 to 11 long, drawn from words either side of the
    // two thresholds.
    constexpr uint16_t kWords[] = {0xFFFF, 0xFFFF, 0xFF00, 0xFFFE, 0xFEFF, 0x8000, 0x00FF, 0};
    uint16_t* mask = e().mask.get();
    for (size_t i = 0; i < e().canvas_pixels();) {
      const uint16_t word = kWords[next(8)];
      for (int n = 1 + next(11); n > 0 && i < e().canvas_pixels(); --n) mask[i++] = word;
    }
    source.resize(size_t{kW} * kH * 4);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(next(256));
    for (size_t i = 3; i < source.size(); i += 16) source[i] = 0;  // some transparent sources
    before.resize(source.size());
    for (size_t i = 0; i < before.size(); ++i) before[i] = static_cast<uint16_t>(next(32768) * 2 + (i % 3 == 0));
    for (size_t i = 7; i < before.size(); i += 20) before[i] = 0;  // some transparent pixels below
    give_before();
    CVL_SetLayer(2);
  }
  void give_before() {
    test::give_slot_pixels(2, 0, 0, 0, 0);
    for (int y = 0; y < kH; ++y)
      std::copy_n(&before[size_t(y) * kW * 4], kW * 4, test::pixel_at(e().slot(2), 0, y));
  }
  uint16_t mask_at(int x, int y) { return e().mask[size_t(y) * kW + x]; }
  const uint8_t* src_at(int x, int y) const { return &source[(size_t(y) * kW + x) * 4]; }
  Pixel old_at(int x, int y) const {
    const uint16_t* p = &before[(size_t(y) * kW + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }
  std::vector<uint8_t> source;
  std::vector<uint16_t> before;
};

TEST_F(SelectionRuns, RGBA32LoadsWeighEveryPixelAsItsMaskWordSays) {
  for (const bool locked : {false, true}) {
    SCOPED_TRACE(locked ? "alpha locked" : "alpha free");
    give_before();
    e().slot(2).lockAlpha = locked;
    CVL_LoadRGBA32(source.data(), kW * 4, 1);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const uint8_t* s = src_at(x, y);
        const uint32_t h = mask_at(x, y) >> 8;
        const uint32_t w = h == 0 ? 0 : h == 255 ? 65535 : (65535 * (h + 1)) >> 8;
        Pixel want = old_at(x, y);
        if (w == 65535) {
          for (int c = 0; c < 3; ++c) want[c] = widen(s[c]);
          if (!locked) want[3] = widen(s[3]);
        } else if (w != 0 && want[3] == 0) {
          for (int c = 0; c < 3; ++c) want[c] = widen(s[c]);
          if (!locked) want[3] = static_cast<uint16_t>((s[3] * 256u * w) >> 16);
        } else if (w != 0 && s[3] == 0) {
          if (!locked) want[3] = static_cast<uint16_t>((want[3] * (65535 - w)) >> 16);
        } else if (w != 0) {
          for (int c = 0; c < 3; ++c) want[c] = blend_in(s[c], w, want[c]);
          if (!locked) want[3] = blend_in(s[3], w, want[3]);
        }
        ASSERT_EQ(test::read_pixel(e().slot(2), x, y), want) << "at " << x << ", " << y;
      }
  }
  e().slot(2).lockAlpha = 0;
}

TEST_F(SelectionRuns, RGB24LoadsWeighColourAndAlphaByTheirOwnScalings) {
  std::vector<uint8_t> rgb(size_t{kW} * kH * 3);
  for (size_t i = 0; i < size_t{kW} * kH; ++i) std::copy_n(&source[i * 4], 3, &rgb[i * 3]);
  CVL_LoadRGB24(rgb.data(), kW * 3, 1);  // colour, by the mask word's high byte
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint32_t h = mask_at(x, y) >> 8;
      const uint32_t w = h == 0 ? 0 : h == 255 ? 65535 : (65535 * (h + 1)) >> 8;
      Pixel want = old_at(x, y);
      for (int c = 0; c < 3 && w != 0; ++c) want[c] = w == 65535 ? widen(src_at(x, y)[c]) : blend_in(src_at(x, y)[c], w, want[c]);
      ASSERT_EQ(test::read_pixel(e().slot(2), x, y), want) << "colour at " << x << ", " << y;
    }
  give_before();
  CVL_LoadRGB24ToAlpha(rgb.data(), kW * 3, 1);  // alpha, by the whole word
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint32_t m = mask_at(x, y);
      const uint32_t w = m == 65535 ? 65535 : (65535 * m) >> 16;
      Pixel want = old_at(x, y);
      if (want[3] != 0 && w != 0) want[3] = w == 65535 ? widen(src_at(x, y)[0]) : blend_in(src_at(x, y)[0], w, want[3]);
      ASSERT_EQ(test::read_pixel(e().slot(2), x, y), want) << "alpha at " << x << ", " << y;
    }
}

TEST_F(SelectionRuns, MaskWeightingScalesAlphaOutsideFullySelectedRuns) {
  std::vector<uint8_t> image = source;
  adjust_rgba32_by_mask_and_texture(e(), image.data(), kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const size_t i = (size_t(y) * kW + x) * 4;
      const uint32_t m = mask_at(x, y);
      const uint32_t w = m == 65535 ? 65535 : (65535 * m) >> 16;
      ASSERT_EQ(image[i + 3], static_cast<uint8_t>(w / 65535.0 * source[i + 3])) << "at " << x << ", " << y;
      ASSERT_TRUE(std::equal(&image[i], &image[i + 3], &source[i]));
    }
}

TEST(PixelRows, WideningAndNarrowingAgreeWithTheByteRuleAtEveryLength) {
  imaging::Lcg15 rng(3);
  for (int n = 0; n <= 13; ++n) {
    std::vector<uint8_t> s(size_t(n) * 4 + 1);
    for (auto& v : s) v = static_cast<uint8_t>(rng.next() % 256);
    for (int i = 0; i < n; i += 3) s[size_t(i) * 4 + 3] = 0;
    for (const Widen mode : {Widen::ClearTransparent, Widen::KeepAlpha, Widen::AllWords}) {
      std::vector<uint16_t> d(size_t(n) * 4 + 4, 0x1234);
      widen_rgba32_row(d.data(), s.data(), n, mode);
      for (int i = 0; i < n; ++i) {
        const uint8_t* p = &s[size_t(i) * 4];
        Pixel want = {widen(p[0]), widen(p[1]), widen(p[2]), mode == Widen::KeepAlpha ? uint16_t{0x1234} : widen(p[3])};
        if (mode == Widen::ClearTransparent && p[3] == 0) want = {0, 0, 0, 0};
        ASSERT_TRUE(std::equal(want.begin(), want.end(), &d[size_t(i) * 4])) << n << " pixels, pixel " << i;
      }
      ASSERT_EQ(d[size_t(n) * 4], 0x1234) << "wrote past " << n << " pixels";
      std::vector<uint8_t> back(size_t(n) * 4 + 1, 0x55);
      narrow_rgba64_rect(back.data(), n * 4, d.data(), n * 8, n, 1, 4);
      for (int i = 0; i < n * 4; ++i) ASSERT_EQ(back[size_t(i)], d[size_t(i)] >> 8);
      ASSERT_EQ(back[size_t(n) * 4], 0x55) << "narrowed past " << n << " pixels";
    }
  }
}

}  // namespace
}  // namespace cvl

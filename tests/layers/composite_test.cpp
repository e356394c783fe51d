#include "layers/composite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "layers/composite_reference.h"
#include "layers/mix_mode_names.h"

namespace cvl {
namespace {

using Pixel = std::array<uint16_t, 4>;

// Composites one source pixel over one destination pixel with the engine's loops.
Pixel composite_one(const Pixel& src, const Pixel& dst, int mode, bool same_alpha = false, int opacity = 256,
                    bool keep_alpha = false, const Pixel* mask = nullptr) {
  Pixel out = dst;
  CompositeArgs args;
  args.src = src.data();
  args.width = args.height = 1;
  args.src_stride = 4;
  args.layer_mask = mask ? mask->data() : nullptr;
  args.layer_mask_mode = mask ? kModeLayerMask : 0;
  args.dst = out.data();
  args.dst_stride = 4;
  args.mode = mode;
  args.opacity = opacity;
  args.keep_dst_alpha = keep_alpha;
  args.same_alpha = same_alpha;
  composite(args);
  return out;
}

// Source and destination pixels of the table: opaque, half, nearly
// transparent and transparent, with channels at 0, 32768, 65280 and 65535.
constexpr Pixel kSrcOpaque{65535, 32768, 0, 65535};
constexpr Pixel kSrcHalf{65280, 32768, 0, 32768};
constexpr Pixel kSrcFaint{65280, 32768, 0, 300};
constexpr Pixel kSrcClear{65280, 32768, 0, 0};
constexpr Pixel kDstOpaque{32768, 65280, 65535, 65535};
constexpr Pixel kDstHalf{0, 32768, 65280, 32768};
constexpr Pixel kDstClear{1000, 2000, 3000, 0};

struct Case {
  const char* what;
  int mode;
  bool same_alpha;
  int opacity;
  Pixel src, dst, expected;
};

// Results worked out from the formulas by hand, each single-precision step
// rounded as the engine rounds it.
const Case kCases[] = {
    {"Normal opaque copies exactly", 0, false, 256, kSrcOpaque, kDstOpaque, {65535, 32768, 0, 65535}},
    {"Normal half over opaque", 0, false, 256, kSrcHalf, kDstOpaque, {49024, 49023, 32767, 65535}},
    {"Normal half over half", 0, false, 256, kSrcHalf, kDstHalf, {43520, 32767, 21759, 49151}},
    {"Normal faint over half", 0, false, 256, kSrcFaint, kDstHalf, {594, 32768, 64685, 32917}},
    {"Normal over transparent writes the source", 0, false, 256, kSrcHalf, kDstClear, {65280, 32768, 0, 32768}},
    {"Normal transparent source is skipped", 0, false, 256, kSrcClear, kDstOpaque, kDstOpaque},
    {"Normal opacity 255 is unscaled", 0, false, 255, kSrcOpaque, kDstOpaque, {65535, 32768, 0, 65535}},
    // 254 makes alpha 65279, just below the exact copy.
    {"Normal opacity 254 scales by 255/256", 0, false, 254, kSrcOpaque, kDstOpaque, {65280, 32895, 255, 65535}},
    {"Normal opacity 128", 0, false, 128, kSrcOpaque, kDstOpaque, {49279, 48897, 32512, 65535}},
    {"Multiply half over opaque", 1, false, 256, kSrcHalf, kDstOpaque, {32768, 49023, 32767, 65535}},
    {"Multiply opaque over half", 1, false, 256, kSrcOpaque, kDstHalf, {32767, 24608, 0, 65535}},
    {"Multiply transparent source is skipped", 1, false, 256, kSrcClear, kDstHalf, kDstHalf},
    {"Screen half over half", 2, false, 256, kSrcHalf, kDstHalf, {43520, 38208, 43520, 49151}},
    {"Darken opaque over opaque", 3, false, 256, kSrcOpaque, kDstOpaque, {32768, 32768, 0, 65535}},
    {"Difference opaque over opaque", 5, false, 256, kSrcOpaque, kDstOpaque, {32766, 32511, 65280, 65535}},
    {"Overlay half over half", 8, false, 256, kSrcHalf, kDstHalf, {21759, 32810, 43520, 49151}},
    {"Soft Light opaque over opaque", 10, false, 256, kSrcOpaque, kDstOpaque, {46355, 65280, 65280, 65535}},
    {"Dodge half over half", 11, false, 256, kSrcHalf, kDstHalf, {43520, 43605, 43520, 49151}},
    {"Burn opaque over half", 12, false, 256, kSrcOpaque, kDstHalf, {32894, 16638, 0, 65535}},
    {"Reflect never copies exactly", 13, false, 256, kSrcOpaque, kDstOpaque, {65280, 32768, 0, 65535}},
    {"Glow never copies exactly", 14, false, 256, kSrcOpaque, kDstOpaque, {65280, 32768, 0, 65535}},
    {"Add faint over half", 15, false, 256, kSrcFaint, kDstHalf, {592, 32767, 64687, 33068}},
    {"Subtract half over half", 16, false, 256, kSrcHalf, kDstHalf, {16320, 16448, 16320, 65535}},
    {"Texturize half over opaque", 17, false, 256, kSrcHalf, kDstOpaque, {51938, 65280, 65280, 65535}},
    {"Texturize over transparent writes zeros", 17, false, 256, kSrcFaint, kDstClear, {0, 0, 0, 0}},
    {"Texturize2 opaque over opaque", 18, false, 256, kSrcOpaque, kDstOpaque, {32991, 65280, 65280, 65535}},
    {"Texturize3 brightens a half destination", 19, false, 256, kSrcFaint, kDstHalf, {0, 65280, 65280, 32768}},
    {"Alpha Filter paints white where transparent", 21, false, 256, kSrcClear, kDstOpaque, {65280, 65280, 65280, 65535}},
    {"Alpha Filter same alpha replaces", 21, true, 256, kSrcHalf, kDstOpaque, {65280, 32768, 0, 32768}},
    {"Alpha Black Outline", 22, false, 256, kSrcHalf, kDstOpaque, {0, 0, 0, 65535}},
    {"Alpha Shader over transparent", 26, false, 256, kSrcHalf, kDstClear, {32768, 32768, 32768, 65535}},
    {"Alpha Smooth low alpha writes alpha 0", 30, false, 256, {65280, 32768, 0, 0x4000}, kDstClear, {65280, 32768, 0, 0}},
    {"Alpha Smooth Lum clamps the lightened colour", 31, false, 256, {0, 32768, 65535, 65535}, kDstClear, {65535, 65535, 65535, 65535}},
    {"Alpha Smooth Lum4 same alpha middle band multiplies", 34, true, 256, {65280, 32768, 0, 0x2000}, kDstOpaque, {32768, 61215, 57343, 65535}},
    {"Alpha Highlight same alpha at 0x7F00 leaves the pixel", 37, true, 256, {65280, 32768, 0, 0x7F00}, kDstOpaque, kDstOpaque},
    {"Layer Mask adds nothing over opaque", 38, false, 256, kSrcHalf, kDstOpaque, kDstOpaque},
    {"Layer Mask over transparent writes alpha 0", 38, false, 256, kSrcHalf, kDstClear, {65280, 32768, 0, 0}},
    {"Luminance Alpha", 39, false, 256, kSrcHalf, kDstClear, {65535, 65535, 65535, 32682}},
    {"Luminance Alpha Invert", 40, true, 256, kSrcHalf, kDstClear, {0, 0, 0, 32853}},
};

TEST(Composite, HandWorkedResultsOfRepresentativeModes) {
  for (const Case& c : kCases)
    EXPECT_EQ(composite_one(c.src, c.dst, c.mode, c.same_alpha, c.opacity), c.expected) << c.what;
}

// Every mode and same-alpha variant over the table's fixed pixels, held to the
// plain reference, and with keep-destination-alpha never touching alpha.
TEST(Composite, FixedPixelsThroughAllModesMatchTheReference) {
  const Pixel sources[] = {kSrcOpaque, kSrcHalf, kSrcFaint, kSrcClear, {0, 0, 0, 65535}, {65535, 65535, 65535, 65280}};
  const Pixel dests[] = {kDstOpaque, kDstHalf, kDstClear, {65535, 65535, 65535, 300}};
  for (int mode = 0; mode < kMixModeCount; ++mode)
    for (bool same : {false, true})
      for (bool keep : {false, true})
        for (const Pixel& s : sources)
          for (const Pixel& d : dests) {
            Pixel expected = d;
            test::reference::Options opt;
            opt.mode = mode;
            opt.same_alpha = same;
            opt.keep_alpha = keep;
            test::reference::composite_pixel(s.data(), expected.data(), opt);
            const Pixel got = composite_one(s, d, mode, same, 256, keep);
            EXPECT_EQ(got, expected) << "mode " << mode << " same " << same;
            if (keep) {
              EXPECT_EQ(got[3], d[3]) << "mode " << mode;
            }
          }
}

TEST(Composite, FloatPathNeverWritesColourAbove65280WhileExactCopyKeeps65535) {
  const Pixel white_src{65535, 65535, 65535, 65535};
  for (int mode = 0; mode < kMixModeCount; ++mode)
    for (uint16_t alpha : {uint16_t{65535}, uint16_t{65000}, uint16_t{32768}}) {
      const Pixel src{65535, 65535, 65535, alpha};
      const Pixel out = composite_one(src, kDstOpaque, mode);
      const bool exact_copy = (mode == 0 || mode == 20) && alpha >= 65280;
      if (out == kDstOpaque) continue;  // the mode left the destination alone
      for (int ch = 0; ch < 3; ++ch) {
        if (exact_copy) {
          EXPECT_EQ(out[ch], 65535) << "mode " << mode;
        } else {
          EXPECT_LE(out[ch], 65280) << "mode " << mode << " alpha " << alpha;
        }
      }
    }
  EXPECT_EQ(composite_one(white_src, kDstOpaque, 13), (Pixel{65280, 65280, 65280, 65535}));
}

TEST(Composite, LayerMaskScalesSourceAlphaByMeanChannelWhereMaskIsNotTransparent) {
  const Pixel grey_mask{30000, 30000, 30000, 65535};
  const Pixel clear_mask{0, 0, 0, 0};
  EXPECT_EQ(composite_one(kSrcOpaque, kDstClear, 0, false, 256, false, &grey_mask), (Pixel{65535, 32768, 0, 29999}));
  EXPECT_EQ(composite_one(kSrcOpaque, kDstClear, 0, false, 256, false, &clear_mask), kSrcOpaque);
}

// Channel values that sit on the formulas' thresholds, mixed with random ones.
uint16_t interesting_value(std::mt19937& rng) {
  static constexpr uint16_t kEdges[] = {0,      1,      255,    256,    0x1FFE, 0x1FFF, 0x23FE, 0x23FF,
                                        0x2FFE, 0x2FFF, 0x7F00, 0x7F01, 0x7FFE, 0x7FFF, 0x8000, 0x8FFE,
                                        0x8FFF, 0xFEFF, 0xFF00, 65280,  65534,  65535};
  if (rng() % 3 == 0) return kEdges[rng() % std::size(kEdges)];
  return static_cast<uint16_t>(rng());
}

// Every mode's specialised loop against the one-pixel reference, over rows of
// random pixel pairs, for each combination of the compositor's switches and
// with both the four-lane and (where the processor has it) the eight-lane blend.
TEST(Composite, EveryModeLoopMatchesThePlainReferenceWordForWord) {
  constexpr int kWidth = 301, kHeight = 3, kStride = (kWidth + 5) * 4;
  std::mt19937 rng(20240611);
  std::vector<uint16_t> src(static_cast<size_t>(kStride) * kHeight), mask(src.size()), dst(src.size());
  for (bool portable : {false, true})
  for (int mode = 0; mode < kMixModeCount; ++mode)
    for (int same_alpha = 0; same_alpha < 2; ++same_alpha)
      for (int opacity : {256, 255, 254, 128, 0})
        for (int keep_alpha = 0; keep_alpha < 2; ++keep_alpha)
          for (int with_mask = 0; with_mask < 2; ++with_mask) {
            for (auto* buf : {&src, &mask, &dst})
              for (uint16_t& w : *buf) w = interesting_value(rng);
            // Stretches of opaque sources, broken at varying places, reach the
            // loops' run copies.
            for (size_t px = 0; px < src.size() / 4; ++px)
              if ((px / 13) % 3 == 0 && px % 29 != 5) src[px * 4 + 3] = static_cast<uint16_t>(65280 + rng() % 256);
            std::vector<uint16_t> expected = dst;
            test::reference::Options opt;
            opt.mode = mode;
            opt.layer_mask_mode = with_mask ? kModeLayerMask : 0;
            opt.opacity = opacity;
            opt.keep_alpha = keep_alpha;
            opt.same_alpha = same_alpha;
            // The rectangle starts one pixel in on both sides, so offsets count.
            for (int y = 0; y < kHeight; ++y)
              for (int x = 0; x < kWidth - 1; ++x) {
                const size_t at = static_cast<size_t>(y) * kStride + static_cast<size_t>(x + 1) * 4;
                opt.layer_mask = with_mask ? &mask[at] : nullptr;
                test::reference::composite_pixel(&src[at], &expected[at], opt);
              }
            CompositeArgs args;
            args.src = src.data();
            args.x = 1;
            args.width = kWidth - 1;
            args.height = kHeight;
            args.src_stride = kStride;
            args.layer_mask = with_mask ? mask.data() : nullptr;
            args.layer_mask_mode = with_mask ? kModeLayerMask : 0;
            args.dst = dst.data();
            args.dst_x = 1;
            args.dst_stride = kStride;
            args.mode = mode;
            args.opacity = opacity;
            args.keep_dst_alpha = keep_alpha;
            args.same_alpha = same_alpha;
            composite_use_portable_lanes(portable);
            composite(args);
            composite_use_portable_lanes(false);
            const size_t first = static_cast<size_t>(std::mismatch(dst.begin(), dst.end(), expected.begin()).first - dst.begin());
            ASSERT_EQ(dst, expected) << "portable " << portable << " first word " << first << " mode " << mode << " same alpha " << same_alpha << " opacity " << opacity
                                     << " keep alpha " << keep_alpha << " layer mask " << with_mask;
          }
}

}  // namespace
}  // namespace cvl

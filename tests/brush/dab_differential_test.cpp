// Strokes under random settings: the specialised row loops against the
// one-pixel-at-a-time reference, and whole strokes against themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "brush/dab.h"
#include "brush/dab_normal_simd.h"
#include "brush/dab_fixture.h"
#include "brush/grit.h"
#include "core/rand.h"
#include "undo/stroke_rect.h"

namespace cvl {
namespace {

using test::DabTest;

constexpr int32_t kModes[] = {0,   10,  32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,
                              47,  48,  100, 249, 250, 251, 252, 253, 254, 255, 256, 257, 258, 259, 260, 261, 262,
                              295, 340};

// Everything a dab may change.
struct CanvasState {
  std::vector<uint16_t> slot1, slot2, paint, mask, blend;
  std::array<int32_t, 4> stroke{}, paint_rect{};
  GritPosition grit;
  int32_t drawing_length = 0;
  int next_rand = 0;

  bool operator==(const CanvasState& o) const {
    return slot1 == o.slot1 && slot2 == o.slot2 && paint == o.paint && mask == o.mask && blend == o.blend &&
           stroke == o.stroke && paint_rect == o.paint_rect && grit.buffer == o.grit.buffer &&
           grit.offset == o.grit.offset && drawing_length == o.drawing_length && next_rand == o.next_rand;
  }
};

std::vector<uint16_t> words(const Buffer<uint16_t>& b) { return b ? std::vector<uint16_t>(b.get(), b.get() + b.size()) : std::vector<uint16_t>{}; }
void put_words(Buffer<uint16_t>& b, const std::vector<uint16_t>& w) { std::copy(w.begin(), w.end(), b.get()); }

CanvasState capture() {
  Engine& e = engine();
  const StrokeRect& s = stroke_rect();
  const Layer& p = e.paint_layer;
  return {words(e.slot(1).pixels), words(e.slot(2).pixels), words(p.pixels), words(e.mask), words(e.blend_buffer.pixels),
          {s.left, s.top, s.right, s.bottom}, {p.changed_left, p.changed_top, p.changed_right, p.changed_bottom},
          current_grit(), e.drawing_length, 0};
}

void restore(const CanvasState& c) {
  Engine& e = engine();
  put_words(e.slot(1).pixels, c.slot1);
  put_words(e.slot(2).pixels, c.slot2);
  if (e.paint_layer.pixels) put_words(e.paint_layer.pixels, c.paint);
  put_words(e.mask, c.mask);
  put_words(e.blend_buffer.pixels, c.blend);
  stroke_rect() = {c.stroke[0], c.stroke[1], c.stroke[2], c.stroke[3]};
  Layer& p = e.paint_layer;
  p.changed_left = c.paint_rect[0], p.changed_top = c.paint_rect[1];
  p.changed_right = c.paint_rect[2], p.changed_bottom = c.paint_rect[3];
  current_grit() = c.grit;
  e.drawing_length = c.drawing_length;
}

class Random {
 public:
  explicit Random(uint32_t seed) : g_(seed) {}
  int32_t in(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(g_); }
  bool chance(int percent) { return in(0, 99) < percent; }
  // Channel values with the edges the formulas treat specially.
  uint16_t word() {
    static constexpr uint16_t kEdges[] = {0, 1, 8191, 8192, 32767, 32768, 65280, 65534, 65535};
    return chance(40) ? kEdges[in(0, 8)] : static_cast<uint16_t>(in(0, 65535));
  }
  void fill(Buffer<uint16_t>& b) {
    for (size_t i = 0; i < b.size(); ++i) b[i] = word();
  }

 private:
  std::mt19937 g_;
};

struct Dab {
  int32_t x, y, r, g, b;
  bool erase, no_blend, mask_maker, mask_only;
};

// A random tool on a random canvas; returns the dabs of a short stroke.
std::vector<Dab> random_setup(Random& rnd) {
  Engine& e = engine();
  const int32_t size = rnd.in(1, 24);
  tool() = ToolSettings{};
  CVL_SetSize(size);
  CVL_SetTool(rnd.chance(80) ? 1.0f : 0.6f, rnd.chance(40) ? rnd.in(1, 3) : 0, rnd.in(0, 255), rnd.in(0, 255),
              rnd.in(0, 255), rnd.chance(30) ? rnd.in(1, 3000) : 0, rnd.in(-1, 2),
              rnd.chance(45) ? rnd.in(1, 256) : 0, rnd.chance(40) ? rnd.in(1, 256) : 0, rnd.chance(50), 0,
              rnd.chance(10), 0, "", "", 0);
  if (rnd.chance(50)) CVL_SetScaleSize(rnd.in(1, size));
  // The normal mode has the most specialised code; a quarter of the strokes use it.
  const int32_t mode = rnd.chance(25) ? 32 : kModes[rnd.in(0, static_cast<int32_t>(std::size(kModes)) - 1)];
  CVL_SetMixMode(mode, rnd.in(0, 256));
  CVL_SetColorBanks(rnd.in(0, 255), rnd.in(0, 255), rnd.in(0, 255), rnd.in(0, 255), rnd.in(0, 255), rnd.in(0, 255),
                    rnd.in(0, 255), rnd.in(0, 255), rnd.in(0, 255), rnd.in(0, 255), rnd.in(0, 255), rnd.in(0, 255));
  CVL_SetDensity(rnd.chance(50) ? 256 : rnd.in(0, 256));
  CVL_SetAlpha(rnd.chance(60) ? 100 : rnd.in(0, 100));
  CVL_SetRotateBrushMode(rnd.chance(30), rnd.in(-360, 360));
  CVL_SetSolidBrushMode(rnd.chance(15));
  CVL_SetImageBrushMode(rnd.chance(30));
  CVL_SetAlphaLevel(rnd.chance(15) ? rnd.in(1, 65535) : 0);
  CVL_SetAlphaLocked(rnd.chance(15));
  CVL_SetColorLocked(rnd.chance(15));
  CVL_SetBlobLocked(rnd.chance(20));
  CVL_SetPixColorVary(rnd.chance(35) ? rnd.in(1, 60) : 0);
  CVL_SetPixLumVary(rnd.chance(35) ? rnd.in(1, 256) : 0);

  rnd.fill(e.slot(1).pixels);
  rnd.fill(e.slot(2).pixels);
  rnd.fill(e.mask);
  rnd.fill(e.blend_buffer.pixels);
  e.mask_enabled = rnd.chance(50);
  if (rnd.chance(30)) CVL_CreateTexture(rnd.in(1, 2)); else CVL_DeleteTexture();
  CVL_DeletePaintLayer();
  if (rnd.chance(50)) {
    CVL_CreatePaintLayer(100, "Normal");
    if (rnd.chance(50)) rnd.fill(e.paint_layer.pixels);
  }
  const int32_t slot = rnd.in(1, 2);
  e.current_layer = &e.slot(slot);
  e.current_layer_num = slot;
  e.slot(slot).lockAlpha = static_cast<uint8_t>(rnd.chance(20));
  e.drawing_length = rnd.in(-1, 2);

  std::vector<Dab> dabs(static_cast<size_t>(rnd.in(1, 4)));
  for (Dab& d : dabs)
    d = {rnd.in(-20, e.canvas_width + 20), rnd.in(-20, e.canvas_height + 20), rnd.in(0, 65535), rnd.in(0, 65535),
         rnd.in(0, 65535), rnd.chance(15), rnd.chance(15), rnd.chance(10), rnd.chance(5)};
  return dabs;
}

CanvasState run_stroke(const std::vector<Dab>& dabs, const ToolSettings& settings, uint32_t seed) {
  tool() = settings;
  crt_srand(seed);
  for (const Dab& d : dabs) {
    if (d.erase) CVL_SetEraseModeOn();
    if (d.no_blend) CVL_TempDisableBlend();
    if (d.mask_maker) CVL_SetMaskMakerOn();
    if (d.mask_only)
      CVL_DrawDabGritMask(d.x, d.y);
    else
      CVL_DrawDabGrit(d.x, d.y, d.r, d.g, d.b);
  }
  CanvasState out = capture();
  out.next_rand = crt_rand();
  return out;
}

// Random strokes on the specialised rows and again, from the same start, on the
// reference rows; `narrow` may restrict each random setup. Returns how many
// strokes changed some pixels.
template <class Narrow>
int compare_paths(uint32_t seed, int trials, Narrow&& narrow) {
  test::give_slot_pixels(1, 0, 0, 0, 0);
  test::give_slot_pixels(2, 0, 0, 0, 0);
  Random rnd(seed);
  int painted = 0;
  for (int trial = 0; trial < trials; ++trial) {
    std::vector<Dab> dabs = random_setup(rnd);
    narrow(dabs);
    const ToolSettings settings = tool();
    const CanvasState before = capture();
    set_dab_path(DabPath::Specialised);
    const CanvasState fast = run_stroke(dabs, settings, static_cast<uint32_t>(trial));
    restore(before);
    set_dab_path(DabPath::Generic);
    const CanvasState reference = run_stroke(dabs, settings, static_cast<uint32_t>(trial));
    if (!(fast == reference)) {
      ADD_FAILURE() << "trial " << trial << " mode " << settings.mix_mode;
      break;
    }
    painted += fast.slot1 != before.slot1 || fast.slot2 != before.slot2 || fast.paint != before.paint ||
               fast.mask != before.mask;
  }
  return painted;
}

TEST_F(DabTest, SpecialisedRowsMatchThePerPixelReferenceWordForWord) {
  make_canvas(40, 30, 32);
  EXPECT_GT(compare_paths(2024, 600, [](std::vector<Dab>&) {}), 300) << "most random strokes must change some pixels";
}

// Clears runs of tip samples at the start, the end or the middle of random tip
// rows, or whole rows: the plain rows skip what lies outside a row's samples
// that are not 0, wherever that is.
void punch_tip(Random& rnd) {
  Engine& e = engine();
  const int32_t size = std::min(tool().brush_size, e.brush_capacity);
  if (size <= 0) return;
  for (int k = rnd.in(0, 6); k > 0; --k) {
    uint16_t* row = e.brush_alpha.get() + static_cast<size_t>(rnd.in(0, size - 1)) * e.brush_capacity;
    const int32_t a = rnd.in(0, size - 1), b = rnd.in(a, size - 1);
    const bool from_start = rnd.chance(40), to_end = rnd.chance(40);
    std::fill(row + (from_start ? 0 : a), row + (to_end ? size : b + 1), uint16_t{0});
  }
}

// The same for the commonest dab (normal mode, the dab colour, no grit,
// texture, rotation or locks), which has a row of its own: scale, opacity,
// mask, paint layer, per-dab colour variation and the tip's empty spans still
// vary.
TEST_F(DabTest, PlainNormalRowsMatchThePerPixelReferenceWordForWord) {
  make_canvas(40, 30, 32);
  Random holes(5);
  const int painted = compare_paths(77, 300, [&](std::vector<Dab>& dabs) {
    punch_tip(holes);
    for (Dab& d : dabs) d.erase = d.mask_maker = d.mask_only = false;
    ToolSettings& t = tool();
    t.mix_mode = kBrushMixNormal;
    t.grit_dot_size = t.blend_strength = t.rotate_mode = t.solid_mode = 0;
    t.alpha_level = t.alpha_locked = t.color_locked = t.blob_locked = t.pix_color_vary = t.pix_lum_vary = 0;
    engine().slot(1).lockAlpha = engine().slot(2).lockAlpha = 0;
    CVL_DeleteTexture();
  });
  EXPECT_GT(painted, 150);
}

#ifdef CVL_HAVE_SSE2_DAB_ROW
// The row mix against the scalar normal formula: the pair step, the AVX2 pair
// step and the AVX2 four-pixel step (with its pair tail), where the processor
// has them, over edge and random words, row lengths around the step widths,
// runs of uncovered pixels, and 16- and 32-bit coverages.
enum class RowMix { Sse2Pairs, Avx2Pairs, Avx2Quads };

template <class V>
void mix_row(RowMix how, int32_t n, const uint32_t s[4], uint16_t* row, const V* v) {
  const simd::NormalSource src = simd::normal_source(s);
  const bool opaque = s[3] == 65535;
  switch (how) {
#ifdef CVL_HAVE_AVX2_DAB_ROW
    case RowMix::Avx2Pairs:
      return opaque ? simd::normal_row_pairs_avx2<true>(n, src, row, v)
                    : simd::normal_row_pairs_avx2<false>(n, src, row, v);
    case RowMix::Avx2Quads:
      return opaque ? simd::normal_row_quads_avx2<true>(n, src, row, v)
                    : simd::normal_row_quads_avx2<false>(n, src, row, v);
#endif
    default:
      return opaque ? simd::normal_row_pairs<true, false>(n, src, row, v)
                    : simd::normal_row_pairs<false, false>(n, src, row, v);
  }
}

TEST(DabNormalRow, RowMixMatchesTheScalarFormulaWordForWord) {
  Random rnd(99);
  const MixContext ctx;
  for (const RowMix how : {RowMix::Sse2Pairs, RowMix::Avx2Pairs, RowMix::Avx2Quads}) {
    if (how != RowMix::Sse2Pairs && !dab_row_has_avx2()) continue;
    for (int trial = 0; trial < 30000; ++trial) {
      const uint32_t s[4] = {rnd.word(), rnd.word(), rnd.word(), rnd.chance(50) ? 65535u : rnd.word()};
      constexpr int32_t kMax = 11;
      const int32_t n = rnd.in(1, kMax);
      // Uncovered pixels alone and in runs, so that whole steps are skipped too.
      const int zero_percent = rnd.chance(30) ? 70 : 15;
      uint16_t row[kMax * 4], want[kMax * 4], v16[kMax];
      uint32_t v32[kMax];
      for (int32_t j = 0; j < n; ++j) {
        v32[j] = v16[j] = rnd.chance(zero_percent) ? 0 : rnd.word();
        uint32_t d[4];
        for (int ch = 0; ch < 4; ++ch) d[ch] = row[j * 4 + ch] = want[j * 4 + ch] = rnd.word();
        if (v16[j] == 0) continue;
        const MixResult m = mix_pixel<MixKernel::LowNormal>(ctx, s, v16[j], d);
        for (int ch = 0; ch < 4; ++ch) want[j * 4 + ch] = static_cast<uint16_t>(m.c[ch]);
      }
      uint16_t row32[kMax * 4];
      std::copy(row, row + n * 4, row32);
      mix_row(how, n, s, row, v16);
      mix_row(how, n, s, row32, v32);
      ASSERT_TRUE(std::equal(row, row + n * 4, want)) << "trial " << trial << " way " << static_cast<int>(how);
      ASSERT_TRUE(std::equal(row32, row32 + n * 4, want)) << "trial " << trial << " way " << static_cast<int>(how);
    }
  }
}
#endif

// A stroke from a fresh canvas, using the host's calls only.
CanvasState host_stroke(int32_t seed, int32_t mode) {
  CVL_DeleteImage();
  CVL_SetRandomSeed(seed);
  CVL_CreateImage(nullptr, 48, 32, 24, 0);
  CVL_CreateLayer(2, 48, 32);
  CVL_SetLayer(2);
  CVL_CreatePaintLayer(100, "Normal");
  CVL_SetSize(16);
  CVL_SetAlpha(100);
  CVL_SetDensity(200);
  CVL_SetPixColorVary(20);
  CVL_SetPixLumVary(40);
  CVL_SetTool(1.0f, 2, 120, 180, 100, 900, 3, 0, 0, 0, 0, 0, 0, "", "", 0);
  CVL_SetMixMode(mode, 200);
  CVL_SetColorBanks(10, 20, 30, 200, 100, 50, 0, 255, 0, 255, 255, 255);
  reset_stroke_rect(engine());
  for (int32_t i = 0; i < 24; ++i) {
    CVL_DrawDabGrit(-6 + i * 3, 4 + i, 0x8000 + i * 512, 0x4000, 0x2000 + i * 256);
    CVL_DecDrawingLength();
  }
  CVL_MergePaintLayer(2);
  CanvasState out = capture();
  out.blend.clear();  // never written by this stroke, and never initialised in full
  out.next_rand = crt_rand();
  return out;
}

TEST_F(DabTest, StrokesReproduceFromTheSeed) {
  for (int32_t mode : {32, 253, 254}) {
    const CanvasState first = host_stroke(5, mode);
    const CanvasState second = host_stroke(5, mode);
    EXPECT_TRUE(first == second) << mode;
    EXPECT_FALSE(first == host_stroke(6, mode)) << mode << ": the seed must matter";
    EXPECT_GT(first.stroke[2], first.stroke[0]);
  }
}

}  // namespace
}  // namespace cvl

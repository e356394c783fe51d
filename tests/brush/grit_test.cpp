#include "brush/grit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "brush/tip_file.h"
#include "core/tool_settings.h"
#include "core/rand.h"
#include "imaging/geometry/resample.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

constexpr int kCapacity = 32;

class GritTest : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(40, 40, kCapacity);
    CVL_SetSize(6);
  }
  size_t buffer_bytes() const { return (kCapacity + 25) * (kCapacity + 25); }
  std::vector<uint8_t> pattern(int k) {
    const uint8_t* p = e().grit_buffers[static_cast<size_t>(k)].get();
    return {p, p + buffer_bytes()};
  }
  std::vector<std::vector<uint8_t>> all_patterns() {
    std::vector<std::vector<uint8_t>> out;
    for (int k = 0; k < kGritBuffers; ++k) out.push_back(pattern(k));
    return out;
  }
  void fill_patterns(uint8_t v) {
    for (auto& g : e().grit_buffers) std::memset(g.get(), v, buffer_bytes());
  }
  void set_grit_tool(int dot, int chance, int fill, const char* grit_path = "") {
    CVL_SetTool(1.0f, dot, chance, fill, 0, 0, 12, 0, 0, 0, 0, 0, 0, grit_path, "", 0);
  }
};

// The patterns as the dot rule describes them, written out plainly: per row band
// two draws choose where the chance/fill bytes (rand_255) and the dot values
// (rand_254) start; chance and fill bytes are taken only for pixels inside the
// edge x edge square.
std::vector<std::vector<uint8_t>> expected_patterns(const Engine& e, int seed, int n, int chance, int fill,
                                                    int brush) {
  const int edge = brush + 25, k_stride = e.brush_capacity;
  const size_t bytes = static_cast<size_t>((k_stride + 25) * (k_stride + 25));
  const uint32_t len = e.rand_255.length;
  crt_srand(static_cast<uint32_t>(seed));
  std::vector<std::vector<uint8_t>> out;
  for (int k = 0; k < kGritBuffers; ++k) {
    std::vector<uint8_t> pat(bytes, 255);
    for (int r = 0; r < edge; r += n) {
      uint32_t p = static_cast<uint32_t>(crt_rand() * ((1000000 - 2 * n) / 32767));
      uint32_t v = static_cast<uint32_t>(crt_rand() * ((1000000 - n) / 32767));
      for (int c = 0; c < edge; c += n) {
        if (e.rand_255.data[p++ % len] >= chance) continue;
        const uint8_t dot = e.rand_254.data[v++ % len];
        for (int dy = 0; dy < n; ++dy)
          for (int dx = 0; dx < n; ++dx)
            if (r + dy < edge && c + dx < edge && e.rand_255.data[p++ % len] < fill)
              pat[static_cast<size_t>((r + dy) * k_stride + c + dx)] = dot;
      }
    }
    out.push_back(pat);
  }
  return out;
}

TEST_F(GritTest, EveryDotTakesTheNextDotValueWhenChanceAndFillAlwaysPass) {
  CVL_SetRandomSeed(5);
  set_grit_tool(1, 255, 255);
  // Buffer 0, row r: the draws are (p, v); cell c holds rand_254[v * 30 + c].
  crt_srand(5);
  const std::vector<uint8_t> pat = pattern(0);
  for (int r = 0; r < 31; ++r) {
    crt_rand();
    const int v = crt_rand() * 30;
    for (int c = 0; c < 31; ++c)
      ASSERT_EQ(pat[static_cast<size_t>(r * kCapacity + c)], e().rand_254.data[static_cast<size_t>(v + c)]) << r << "," << c;
  }
  EXPECT_EQ(pat[31 * kCapacity + 31], 255);  // outside the (6 + 25)^2 square
  EXPECT_EQ(e().drawing_length, 12);
  EXPECT_EQ(current_grit().buffer, kGritBuffers - 1);
}

TEST_F(GritTest, PatternsFollowTheDotRuleByteForByte) {
  struct Case {
    int seed, n, chance, fill, brush;
  };
  const Case cases[] = {{1, 1, 128, 255, 6}, {2, 2, 90, 200, 6}, {3, 3, 200, 100, 6},
                        {4, 4, 254, 128, 7}, {9, 5, 60, 250, 3}, {7, 7, 255, 30, 32}};
  for (const Case& c : cases) {
    CVL_SetRandomSeed(c.seed);
    CVL_SetSize(c.brush);
    set_grit_tool(c.n, c.chance, c.fill);
    EXPECT_EQ(all_patterns(), expected_patterns(e(), c.seed, c.n, c.chance, c.fill, c.brush)) << "dot size " << c.n;
  }
}

TEST_F(GritTest, SameSeedGivesIdenticalPatternsAndAnotherSeedDoesNot) {
  CVL_SetRandomSeed(42);
  set_grit_tool(2, 100, 180);
  const auto first = all_patterns();
  crt_rand();  // whatever happened in between, SetTool reseeds
  set_grit_tool(2, 100, 180);
  EXPECT_EQ(all_patterns(), first);
  CVL_SetRandomSeed(43);
  set_grit_tool(2, 100, 180);
  EXPECT_NE(all_patterns(), first);
}

TEST_F(GritTest, ZeroDotSizeLeavesPatternsAloneAndStillBuildsTheTip) {
  fill_patterns(7);
  e().drawing_length = -4;
  set_grit_tool(0, 255, 255);
  for (const auto& p : all_patterns()) EXPECT_EQ(p, std::vector<uint8_t>(buffer_bytes(), 7));
  EXPECT_EQ(e().drawing_length, -4);
  EXPECT_EQ(e().brush_alpha[3 * kCapacity + 3], 65535);
}

TEST_F(GritTest, HostileDotSizesNeitherHangNorReadOutsideTheTables) {
  fill_patterns(7);
  set_grit_tool(-3, 255, 255);  // a negative step would never leave the first row
  EXPECT_EQ(pattern(0)[0], 7);
  // Starts beyond the table's end (negative range): the reads wrap instead.
  set_grit_tool(600000, 255, 255);
  EXPECT_LT(pattern(0)[0], 254);
  EXPECT_EQ(pattern(0)[31 * kCapacity], 255);
}

TEST_F(GritTest, UnreadableGritSourceKeepsTheRandomPatterns) {
  set_grit_tool(3, 100, 100);
  const auto random_patterns = all_patterns();
  set_grit_tool(0, 0, 0, "/nonexistent/grit.png");
  EXPECT_EQ(all_patterns(), random_patterns);
}

class GritFileTest : public GritTest {
 protected:
  void TearDown() override {
    std::filesystem::remove(path_);
    GritTest::TearDown();
  }
  // Grey (x * 7 + y * 13) % 251: every window of it is recognisable.
  bool write_source(int w, int h) {
    return test::write_grey_png(path_, w, h, [](int x, int y) { return static_cast<uint8_t>((x * 7 + y * 13) % 251); });
  }
  // Cuts from `path_` with `seed` and checks every pattern against source_grey(x, y)
  // inside its window at the position drawn for it, and 255 outside.
  template <class Grey>
  void expect_windows(int seed, int source_w, int source_h, Grey source_grey) {
    CVL_SetRandomSeed(seed);
    set_grit_tool(0, 0, 0, path_.c_str());
    crt_srand(static_cast<uint32_t>(seed));
    const int window = 6 + 25;
    for (int k = 0; k < kGritBuffers; ++k) {
      const int x = crt_rand() % (source_w - window);
      const int y = crt_rand() % (source_h - window);
      const std::vector<uint8_t> pat = pattern(k);
      for (int r = 0; r < kCapacity + 25; ++r)
        for (int c = 0; c < kCapacity; ++c) {
          const int want = (r < window && c < window) ? source_grey(x + c, y + r) : 255;
          ASSERT_EQ(pat[static_cast<size_t>(r * kCapacity + c)], want) << k << ": " << r << "," << c;
        }
    }
    EXPECT_EQ(e().drawing_length, 12);
  }
  std::string path_ = test::temp_path("grit-source");
};

TEST_F(GritFileTest, PatternsAreRandomWindowsOfTheGreyImage) {
  ASSERT_TRUE(write_source(100, 80));
  if (!test::png_decoding_works(path_)) GTEST_SKIP() << "PNG decoding not available";
  expect_windows(11, 100, 80, [](int x, int y) { return (x * 7 + y * 13) % 251; });
}

TEST_F(GritFileTest, SourceSmallerThanTheWindowLeavesBlankPatterns) {
  fill_patterns(7);
  ASSERT_TRUE(write_source(6 + 25, 200));  // one pixel short of brush_size + 26
  if (!test::png_decoding_works(path_)) GTEST_SKIP() << "PNG decoding not available";
  set_grit_tool(0, 0, 0, path_.c_str());
  for (const auto& p : all_patterns()) EXPECT_EQ(p, std::vector<uint8_t>(buffer_bytes(), 255));
}

TEST_F(GritFileTest, ScriptTileIsRepeatedOver600By600BeforeTheWindowsAreCut) {
  // A 7 x 5 tile with a ramp across it: every window spans several repeats.
  imaging::Image tile;
  if (!test::write_script(path_, "imagescript 1\nsize 7 5\nlinear 0 0 7 5 0 0 0 255 250 250 250 255\n", &tile))
    GTEST_SKIP() << "image scripts not available";
  std::vector<uint8_t> grey(7 * 5);
  imaging::to_grey8(tile.view(), {grey.data(), 7, 5, 1, 7});
  expect_windows(3, 600, 600, [&](int x, int y) { return grey[static_cast<size_t>(y % 5 * 7 + x % 7)]; });
}

}  // namespace
}  // namespace cvl

#include "brush/brush_shape.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "brush/tip_file.h"
#include "core/tool_settings.h"
#include "imagescript/imagescript.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

constexpr int kCapacity = 40;

class BrushShapeTest : public test::CanvasTest {
 protected:
  void SetUp() override { make_canvas(20, 20, kCapacity); }
  void TearDown() override {
    for (const auto& p : files_) std::filesystem::remove(p);
    test::CanvasTest::TearDown();
  }
  void round_tool(int size, int softness, int invert, float strength) {
    CVL_SetSize(size);
    tool().tip_softness = static_cast<uint8_t>(softness);
    tool().tip_invert = static_cast<uint8_t>(invert);
    tool().tip_strength = strength;
  }
  uint16_t tip(int row, int col) { return e().brush_alpha[static_cast<size_t>(row * kCapacity + col)]; }
  std::vector<uint16_t> whole_tip() { return {e().brush_alpha.get(), e().brush_alpha.get() + kCapacity * kCapacity}; }
  std::string make_file(const std::string& name, int w, int h, const std::function<uint8_t(int, int)>& grey) {
    const std::string p = test::temp_path(name);
    files_.push_back(p);
    EXPECT_TRUE(test::write_grey_png(p, w, h, grey));
    return p;
  }
  std::vector<std::string> files_;
};

TEST_F(BrushShapeTest, RoundTipValues) {
  struct Case {
    int size, softness, invert;
    float strength;
    int row, col;
    uint16_t want;
  };
  const Case cases[] = {
      {1, 0, 0, 1.0f, 0, 0, 65535},      // R = 0.5, c = 0: the one pixel is full
      {1, 0, 0, 1.0f, 0, 1, 0},          // nothing beyond the brush
      {10, 255, 0, 1.0f, 5, 5, 65535},   // soft edge spans the radius; centre full
      {10, 255, 0, 1.0f, 5, 0, 0},       // distance 5 = R: edge reaches 0
      {10, 255, 0, 1.0f, 5, 2, 26214},   // distance 3: (5 - 3) / 5 of full
      {10, 255, 1, 1.0f, 5, 2, 39321},   // inverted soft edge
      {10, 255, 1, 1.0f, 5, 5, 0},       // inverted centre
      {10, 0, 0, 0.5f, 5, 5, 32767},     // strength halves a hard disc
      {10, 0, 0, 0.5f, 0, 0, 0},         // corner: distance 7 is outside the disc
      {10, 0, 0, 0.5f, 1, 1, 32767},     // distance 5.66 truncates to 5 = R: inside
      {10, 0, 0, 1.0f, 0, 5, 65535},     // distance 5 = R is inside
      {9, 128, 0, 1.0f, 4, 0, 14506},    // R 4.5, soft edge 2.2588, distance 4
  };
  for (const Case& c : cases) {
    round_tool(c.size, c.softness, c.invert, c.strength);
    CVL_SetBrushShape("", 0);
    EXPECT_EQ(tip(c.row, c.col), c.want) << "size " << c.size << " softness " << c.softness << " invert " << c.invert
                                         << " at " << c.row << "," << c.col;
  }
}

TEST_F(BrushShapeTest, InvertedHardTipPaintsNothing) {
  round_tool(17, 0, 1, 1.0f);
  CVL_SetBrushShape("x", 0);
  EXPECT_EQ(whole_tip(), std::vector<uint16_t>(kCapacity * kCapacity, 0));
}

TEST_F(BrushShapeTest, ShortAndUnreadablePathsGiveTheRoundTip) {
  round_tool(12, 100, 0, 1.0f);
  CVL_SetBrushShape("", 0);
  const std::vector<uint16_t> round = whole_tip();
  EXPECT_EQ(tip(6, 6), 65535);
  for (const char* path : {"a", "/nonexistent/tip.png"}) {
    std::fill_n(e().brush_alpha.get(), kCapacity * kCapacity, uint16_t{1});
    CVL_SetBrushShape(path, 0);
    EXPECT_EQ(whole_tip(), round) << path;
    CVL_SetBrushShape_ORIGINAL(path, 0);
    EXPECT_EQ(whole_tip(), round) << path;
  }
  CVL_SetBrushShape(nullptr, 0);
  EXPECT_EQ(whole_tip(), round);
}

TEST_F(BrushShapeTest, BrushLargerThanItsCapacityIsClippedToTheTipBuffer) {
  round_tool(kCapacity + 30, 0, 0, 1.0f);
  CVL_SetBrushShape("", 0);  // would write past brush_alpha if not clipped
  EXPECT_EQ(tip(kCapacity - 1, kCapacity - 1), 65535);
  EXPECT_EQ(tip(0, 0), 0);
}

TEST_F(BrushShapeTest, TipFileGivesGreyTimesStrength) {
  // Same size: the grey values come through unchanged.
  const std::string same = make_file("tip-same", 16, 16, [](int x, int y) { return static_cast<uint8_t>(x * 16 + y); });
  if (!test::png_decoding_works(same)) GTEST_SKIP() << "PNG decoding not available";
  round_tool(16, 0, 0, 1.0f);
  tool().drawing_length_reset = 6;
  e().drawing_length = 0;
  CVL_SetBrushShape(same.c_str(), 0);
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 16; ++c) ASSERT_EQ(tip(r, c), (c * 16 + r) * 256) << r << "," << c;
  EXPECT_EQ(tip(0, 16), 0);
  EXPECT_EQ(tip(16, 0), 0);
  EXPECT_EQ(e().drawing_length, 6);

  // Shrinking averages areas: 2 x 2 blocks of one grey become that grey.
  const std::string blocks =
      make_file("tip-blocks", 32, 32, [](int x, int y) { return static_cast<uint8_t>((x / 2) * 10 + (y / 2)); });
  tool().tip_strength = 0.5f;
  CVL_SetBrushShape(blocks.c_str(), 0);
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 16; ++c)
      ASSERT_EQ(tip(r, c), static_cast<uint16_t>((c * 10 + r) * 256 * 0.5f)) << r << "," << c;

  // Growing a flat image keeps it flat.
  const std::string flat = make_file("tip-flat", 4, 4, [](int, int) { return uint8_t{200}; });
  tool().tip_strength = 1.0f;
  CVL_SetBrushShape_ORIGINAL(flat.c_str(), 0);
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 16; ++c) ASSERT_EQ(tip(r, c), 51200) << r << "," << c;
}

TEST_F(BrushShapeTest, SamePathAndAngleAreDecodedOnce) {
  const std::string path = test::temp_path("tip-cache");
  files_.push_back(path);
  ASSERT_TRUE(test::write_grey_png(path, 8, 8, [](int, int) { return uint8_t{100}; }));
  if (!test::png_decoding_works(path)) GTEST_SKIP() << "PNG decoding not available";
  round_tool(8, 0, 0, 1.0f);
  CVL_SetBrushShape(path.c_str(), 0);
  EXPECT_EQ(tip(3, 3), 25600);
  ASSERT_TRUE(test::write_grey_png(path, 8, 8, [](int, int) { return uint8_t{50}; }));
  CVL_SetBrushShape(path.c_str(), 0);
  EXPECT_EQ(tip(3, 3), 25600) << "the kept image is used, the file is not read again";
  // Strength and size still apply to the kept image.
  tool().tip_strength = 0.5f;
  CVL_SetBrushShape(path.c_str(), 0);
  EXPECT_EQ(tip(3, 3), 12800);
  // Another angle reads the file again.
  tool().tip_strength = 1.0f;
  CVL_SetBrushShape(path.c_str(), 180);
  EXPECT_EQ(tip(3, 3), 12800);
  // So does the same path after a new canvas.
  ASSERT_TRUE(test::write_grey_png(path, 8, 8, [](int, int) { return uint8_t{70}; }));
  CVL_NewSize(nullptr, 20, 20, kCapacity, 0);
  CVL_SetBrushShape(path.c_str(), 180);
  EXPECT_EQ(tip(3, 3), 17920);
}

TEST_F(BrushShapeTest, PathsTooLongToStoreAreReadEveryTime) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows opens no file by a path this long";
#endif
  const std::string path = test::temp_path("tip-long");
  files_.push_back(path);
  ASSERT_TRUE(test::write_grey_png(path, 8, 8, [](int, int) { return uint8_t{100}; }));
  if (!test::png_decoding_works(path)) GTEST_SKIP() << "PNG decoding not available";
  const size_t slash = path.rfind('/');
  std::string long_path = path.substr(0, slash + 1);
  for (int i = 0; i < 520; ++i) long_path += "./";
  long_path += path.substr(slash + 1);
  ASSERT_GT(long_path.size(), 1024u);
  round_tool(8, 0, 0, 1.0f);
  CVL_SetBrushShape(long_path.c_str(), 0);
  EXPECT_EQ(tip(3, 3), 25600);
  ASSERT_TRUE(test::write_grey_png(path, 8, 8, [](int, int) { return uint8_t{50}; }));
  CVL_SetBrushShape(long_path.c_str(), 0);
  EXPECT_EQ(tip(3, 3), 12800);
}

TEST_F(BrushShapeTest, RotatedTipIsTheShapeTurned) {
  // A bright bar across the middle rows of a 33 x 33 tip, and a bright top half.
  const std::string bar = make_file("tip-bar", 33, 33, [](int, int y) { return uint8_t(y >= 13 && y <= 19 ? 255 : 0); });
  const std::string top = make_file("tip-top", 33, 33, [](int, int y) { return uint8_t(y < 12 ? 255 : 0); });
  if (!test::png_decoding_works(bar)) GTEST_SKIP() << "PNG decoding not available";
  uint8_t probe[4 * 4 * 4] = {};
  if (!imagescript::rotate_in_place(probe, 4, 4, 90)) GTEST_SKIP() << "image rotation not available";
  round_tool(33, 0, 0, 1.0f);
  struct Point {
    int row, col;
  };
  struct Case {
    const std::string& path;
    int angle;
    std::vector<Point> bright, dark;
  };
  const Case cases[] = {
      {bar, 0, {{16, 3}, {16, 29}}, {{3, 16}, {29, 16}}},
      {bar, 90, {{3, 16}, {29, 16}}, {{16, 3}, {16, 29}}},
      {top, 180, {{28, 16}, {28, 4}}, {{4, 16}, {4, 28}}},
      // Corners turned in from outside the image are transparent: no paint.
      {top, 45, {}, {{0, 0}, {32, 32}, {0, 32}}},
  };
  for (const Case& c : cases) {
    CVL_SetBrushShape(c.path.c_str(), c.angle);
    for (const Point p : c.bright) EXPECT_GT(tip(p.row, p.col), 200 * 256) << c.angle << ": " << p.row << "," << p.col;
    for (const Point p : c.dark) EXPECT_LT(tip(p.row, p.col), 50 * 256) << c.angle << ": " << p.row << "," << p.col;
  }
}

TEST_F(BrushShapeTest, ScriptTipsAreRenderedUnlessOnlyImagesAreAsked) {
  const std::string path = test::temp_path("tip-script");
  files_.push_back(path);
  if (!test::write_script(path, "imagescript 1\nsize 16 16\nfill 200 200 200 255\n"))
    GTEST_SKIP() << "image scripts not available";
  round_tool(16, 0, 0, 1.0f);
  CVL_SetBrushShape("", 0);
  const std::vector<uint16_t> round = whole_tip();
  CVL_SetBrushShape_ORIGINAL(path.c_str(), 0);  // not an image file: the round tip
  EXPECT_EQ(whole_tip(), round);
  CVL_SetBrushShape(path.c_str(), 0);
  EXPECT_EQ(tip(0, 0), 51200);
  EXPECT_EQ(tip(15, 15), 51200);
  EXPECT_EQ(tip(0, 16), 0);
}

}  // namespace
}  // namespace cvl

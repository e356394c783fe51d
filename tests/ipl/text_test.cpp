#include "ipl/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ipl/text_font.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

constexpr int W = 160, H = 60;

class Text : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas_on_clear_layer(W, H);
    use_font("DejaVu Sans", -24);
    CVL_IPLAllocSrcBuffer32();
  }
  void use_font(const char* face, int32_t height) {
    text_font() = LogFontA{};
    std::strncpy(text_font().lfFaceName, face, sizeof text_font().lfFaceName - 1);
    text_font().lfHeight = height;
  }
  void fill_layer(uint16_t r, uint16_t g, uint16_t b, uint16_t a) {
    test::give_slot_pixels(2, r, g, b, a);
    CVL_IPLUpdateSrcBuffer32();
  }
  std::vector<uint16_t> words() {
    const Layer& l = e().slot(2);
    return std::vector<uint16_t>(l.data(), l.data() + e().canvas_pixels() * 4);
  }
  uint16_t alpha(int x, int y) { return test::read_pixel(e().slot(2), x, y)[3]; }
  // True when no pixel outside [x0, x1) x [y0, y1) has ink (alpha) on the clear layer.
  bool ink_only_inside(int x0, int y0, int x1, int y1) {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (alpha(x, y) && (x < x0 || x >= x1 || y < y0 || y >= y1)) return false;
    return true;
  }
  int ink_rows() {
    int rows = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (alpha(x, y)) {
          ++rows;
          break;
        }
    return rows;
  }
};

TEST_F(Text, AWordHasInkInsideItsBoxAndNoneOutside) {
  const imaging::Rect box = ipl_text(engine(), 0, 0, 0, 20, 10, "Hello", 1);
  ASSERT_LE(box.left, box.right);
  EXPECT_GE(box.left, 20);
  EXPECT_GE(box.top, 10);
  EXPECT_GT(box.right - box.left, 40);  // five letters of a 24-pixel face
  EXPECT_LT(box.right, 20 + 5 * 24);
  EXPECT_LT(box.bottom, 10 + 32);
  EXPECT_TRUE(ink_only_inside(box.left, box.top, box.right + 1, box.bottom + 1));
  EXPECT_NE(alpha(box.left, (box.top + box.bottom) / 2) + alpha(box.left + 1, (box.top + box.bottom) / 2), 0);
}

TEST_F(Text, SmoothEdgesArePartlyOpaqueAndPlainOnesAreNot) {
  for (int32_t smooth : {1, 0x100, 0}) {  // only the low byte of the flag counts
    SetUp();
    CVL_IPLText(10, 20, 30, 5, 5, 0, 0, 0, 0, "Smooth or plain", smooth);
    int partial = 0, full = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const test::Pixel p = test::read_pixel(e().slot(2), x, y);
        if (p[3] == 65280) {
          ++full;
          EXPECT_EQ(p[0], 10 << 8);
          EXPECT_EQ(p[2], 30 << 8);
        } else if (p[3] != 0) {
          ++partial;
        }
      }
    EXPECT_GT(full, 50) << smooth;
    if (smooth & 0xFF)
      EXPECT_GT(partial, 50);
    else
      EXPECT_EQ(partial, 0) << smooth;
  }
}

TEST_F(Text, HeightIsTheCellWhenPositiveAndTheCharacterWhenNegative) {
  use_font("DejaVu Sans", -40);
  CVL_IPLText(0, 0, 0, 2, 2, 0, 0, 0, 0, "H", 0);
  const int em_rows = ink_rows();
  SetUp();
  use_font("DejaVu Sans", 40);
  CVL_IPLText(0, 0, 0, 2, 2, 0, 0, 0, 0, "H", 0);
  EXPECT_LT(ink_rows(), em_rows);
  EXPECT_GT(ink_rows(), em_rows / 2);
}

TEST_F(Text, TextGoesThroughTheMask) {
  std::vector<uint16_t> mask(e().canvas_pixels(), 65535);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W / 2; ++x) mask[y * W + x] = 0;
  CVL_SetMaskData16(mask.data());
  CVL_EnableMask(1);
  CVL_IPLText(0, 0, 0, 4, 10, 0, 0, 0, 0, "MMMMMMMMMM", 0);
  EXPECT_TRUE(ink_only_inside(W / 2, 0, W, H));
  EXPECT_GT(ink_rows(), 10);
}

TEST_F(Text, WordsOutsideTheTextBoxStayExactlyAsTheyWere) {
  for (int32_t smooth : {1, 0}) {
    fill_layer(0x1234, 0x5678, 0x9ABC, 0x8081);  // low bytes an 8-bit pass would lose
    const std::vector<uint16_t> before = words();
    const imaging::Rect box = ipl_text(engine(), 200, 0, 0, 30, 12, "Box", smooth);
    ASSERT_LE(box.left, box.right);
    const std::vector<uint16_t> after = words();
    int changed = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const bool inside = x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
        for (int c = 0; c < 4; ++c) {
          const size_t i = (static_cast<size_t>(y) * W + x) * 4 + c;
          if (!inside) ASSERT_EQ(after[i], before[i]) << x << "," << y << " smooth " << smooth;
          changed += after[i] != before[i];
        }
      }
    EXPECT_GT(changed, 0);
  }
}

TEST_F(Text, NothingIsDrawnWithoutTheSource) {
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLText(0, 0, 0, 5, 5, 0, 0, 0, 0, "nothing", 1);
  EXPECT_EQ(ink_rows(), 0);
  EXPECT_FALSE(e().ipl.src32);
}

// A picture for a person to look at: smooth and plain text, underlined,
// struck out and bold, on white.
TEST_F(Text, SamplePictureIsWritten) {
  make_canvas_on_clear_layer(420, 200);
  test::give_slot_pixels(2, 65535, 65535, 65535, 65535);
  CVL_IPLAllocSrcBuffer32();
  use_font("DejaVu Sans", -28);
  CVL_IPLText(20, 20, 120, 10, 8, 0, 0, 0, 0, "Smooth text, 28 px", 1);
  CVL_IPLText(120, 20, 20, 10, 44, 0, 0, 0, 0, "Plain text, 28 px", 0);
  use_font("DejaVu Serif", 36);
  text_font().lfWeight = 700;
  text_font().lfUnderline = 1;
  CVL_IPLText(0, 100, 0, 10, 84, 0, 0, 0, 0, "Bold serif underlined", 1);
  use_font("DejaVu Sans Mono", -20);
  text_font().lfStrikeOut = 1;
  text_font().lfItalic = 1;
  CVL_IPLText(0, 0, 0, 10, 130, 0, 0, 0, 0, "Struck, italic\nand a second line", 1);
  std::vector<uint8_t> rgba(420 * 200 * 4);
  CVL_GetRGBA32(rgba.data(), 420 * 4);
  std::filesystem::create_directories(CORVEL_TEST_OUTPUT);
  const std::string path = std::string(CORVEL_TEST_OUTPUT) + "/text_sample.png";
  EXPECT_EQ(CVL_WriteToFileRGBA32(rgba.data(), 420, 200, path.c_str(), ".png", 72), 1);
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace cvl

#include "mask/paint_bucket.h"

#include <gtest/gtest.h>

#include "layers/ipl_images.h"
#include "mask/tool_picture.h"

namespace cvl {
namespace {

using test::Rows;

class PaintBucket : public test::ToolPicture {
 protected:
  void SetUp() override { palette['p'] = {1, 2, 3, 128}; }  // the paint under kept alpha
  void fill(int x, int y, const char* mode, int tolerance = 0) { CVL_IPLFloodFill(1, 2, 3, x, y, tolerance, mode); }
};

const test::Rows kPicture = {
    "AABAh",
    "AABAA",
    "BBBtt",
    "hAAtt",
};

TEST_F(PaintBucket, PaintModesOnConnectedAndScatteredPixels) {
  struct Case {
    const char* mode;
    int x, y;
    Rows want;
  } cases[] = {
      // The region is painted opaque.
      {"Paint Connected", 0, 0, {"PPBAh", "PPBAA", "BBBtt", "hAAtt"}},
      {"Paint Connected", 3, 2, {"AABAh", "AABAA", "BBBPP", "hAAPP"}},
      // Every pixel of the colour takes the paint but keeps its alpha.
      {"Paint Non-connected", 0, 0, {"PPBPp", "PPBPP", "BBBtt", "pPPtt"}},
  };
  for (const Case& c : cases) {
    draw(kPicture);
    fill(c.x, c.y, c.mode);
    EXPECT_EQ(layer_rows(), c.want) << c.mode << " at " << c.x << "," << c.y;
  }
}

TEST_F(PaintBucket, ErasingMakesTransparentExceptOnTheBackground) {
  // The seed's colour also matches the half-transparent pixels: alpha plays no part.
  struct Case {
    const char* mode;
    int slot;
    Rows want;
  } cases[] = {
      {"Erase Connected", 2, {"AABtt", "AABtt", "BBBtt", "hAAtt"}},
      {"Erase Non-connected", 2, {"ttBtt", "ttBtt", "BBBtt", "ttttt"}},
      {"Erase Connected", 1, {"AABPP", "AABPP", "BBBtt", "hAAtt"}},
      {"Erase Non-connected", 1, {"PPBPp", "PPBPP", "BBBtt", "pPPtt"}},
  };
  for (const Case& c : cases) {
    draw(kPicture, c.slot);
    fill(3, 0, c.mode);
    EXPECT_EQ(layer_rows(), c.want) << c.mode << " on slot " << c.slot;
  }
}

TEST_F(PaintBucket, AlphaModesPaintByAlphaOnPaintingLayersOnly) {
  draw(kPicture);
  fill(4, 3, "Paint Alpha Connected");
  EXPECT_EQ(layer_rows(), (Rows{"AABAh", "AABAA", "BBBPP", "hAAPP"}));
  draw(kPicture);
  fill(4, 0, "Paint Alpha Non-Connected");
  EXPECT_EQ(layer_rows(), (Rows{"AABAP", "AABAA", "BBBtt", "PAAtt"}));
  for (int slot : {0, 1}) {
    draw(kPicture, slot);
    fill(4, 3, "Paint Alpha Connected");
    EXPECT_EQ(layer_rows(), kPicture) << slot;
  }
  draw(kPicture);
  fill(4, 0, "Paint Alpha Non-connected");  // the wand's spelling is not a fill mode
  EXPECT_EQ(layer_rows(), kPicture);
}

TEST_F(PaintBucket, ProtectedPixelsKeepTheirColour) {
  draw(kPicture);
  CVL_IPLMaskRectangle(0, 0, 0, 3, 100);  // column 0 fully protected
  fill(1, 0, "Paint Non-connected");
  EXPECT_EQ(layer_rows(), (Rows{"APBPp", "APBPP", "BBBtt", "hPPtt"}));
}

TEST_F(PaintBucket, OffCanvasClicksAndUnknownModesChangeNothing) {
  draw(kPicture);
  uint8_t* host_source = ipl_alloc(engine(), IplBuffer::Src32);
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {5, 0}, {0, 4}}) fill(x, y, "Paint Non-connected", 50000);
  EXPECT_EQ(ipl_buffer(engine(), IplBuffer::Src32), host_source);
  for (const char* mode : std::initializer_list<const char*>{"Paint connected", "Connected", "", nullptr}) fill(0, 0, mode, 50000);
  EXPECT_EQ(layer_rows(), kPicture);
  EXPECT_EQ(ipl_buffer(engine(), IplBuffer::Src32), nullptr);
}

TEST(RegionColour, FloodMapBytesOfOneTakeTheColourTransparentColourMatches) {
  CVL_CreateImage(nullptr, 4, 1, 16, 0);
  std::vector<uint8_t> px = {1, 2, 3, 4, 1, 2, 3, 5, 1, 2, 4, 6, 9, 9, 9, 9};
  const uint8_t map[4] = {1, 2, 0, 1};
  CVL_SetAlphaFromRGBAImageColor(px.data(), 1, 2, 3);
  EXPECT_EQ(px, (std::vector<uint8_t>{1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 4, 6, 9, 9, 9, 9}));
  CVL_ColorRGBA32FromFloodMask(px.data(), map, 7, 8, 9, 10);
  EXPECT_EQ(px, (std::vector<uint8_t>{7, 8, 9, 10, 1, 2, 3, 0, 1, 2, 4, 6, 7, 8, 9, 10}));
  CVL_DeleteImage();
}

}  // namespace
}  // namespace cvl

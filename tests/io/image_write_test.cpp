#include "io/image_write.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "corvel/corvel.h"
#include "io/pil_reader.h"

namespace cvl {
namespace {

using test::PilView;
using test::ScratchDir;

// Mean and largest channel difference of the colour of two same-sized RGBA images.
struct Error {
  double mean = 0;
  int max = 0;
};
Error colour_error(const imaging::Image& a, const imaging::Image& b) {
  Error e;
  size_t n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    if (i % 4 == 3) continue;
    const int d = std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    e.max = std::max(e.max, d);
    e.mean += d, ++n;
  }
  e.mean /= double(n ? n : 1);
  return e;
}

struct WriteCase {
  const char* ext;
  const char* pil_format;
  bool rgba;      // written with CVL_WriteToFileRGBA32
  bool lossy;     // JPEG: within its error instead of equal
  bool has_dpi;   // the format stores the resolution
};

const WriteCase kCases[] = {
    {".bmp", "BMP", false, false, true},   {".png", "PNG", false, false, true}, {".jpg", "JPEG", false, true, true},
    {".pcx", "PCX", false, false, false},  {".psd", "PSD", false, false, false},
    {".png", "PNG", true, false, true},    {".tga", "TGA", true, false, false}, {".tif", "TIFF", true, false, true},
};

TEST(ImageWriteTest, EveryWriterIsReadBackByAnIndependentDecoderWithItsPixelsAndResolution) {
  if (!test::have_pil()) GTEST_SKIP() << "needs Python with PIL";
  ScratchDir dir;
  const int w = 37, h = 23;
  const imaging::Image rgba = test::test_picture(w, h, true);
  const std::vector<uint8_t> rgb = test::rgb_of(rgba);
  for (const WriteCase& c : kCases) {
    SCOPED_TRACE(std::string(c.ext) + (c.rgba ? " RGBA32" : " RGB24"));
    const std::string path = dir.path(std::string(c.rgba ? "rgba" : "rgb") + c.ext);
    const int32_t written = c.rgba ? CVL_WriteToFileRGBA32(rgba.pixels.data(), w, h, path.c_str(), c.ext, 300)
                                   : CVL_WriteToFileRGB24(rgb.data(), w, h, path.c_str(), c.ext, 300);
    ASSERT_EQ(written, 1);
    const PilView v = test::read_with_pil(dir, path);
    EXPECT_EQ(v.format, c.pil_format);
    ASSERT_EQ(v.image.width, w);
    ASSERT_EQ(v.image.height, h);
    const imaging::Image expected = c.rgba ? rgba : test::opaque(rgba);
    if (c.lossy) {
      const Error e = colour_error(v.image, expected);
      EXPECT_LE(e.max, 12);
      EXPECT_LE(e.mean, 2.0);
    } else {
      EXPECT_EQ(test::max_difference(v.image, expected), 0);
    }
    // 300 dpi is stored as 11811 dots per metre in BMP and PNG, hence the tolerance.
    if (c.has_dpi) {
      EXPECT_NEAR(v.dpi_x, 300, 0.01);
      EXPECT_NEAR(v.dpi_y, 300, 0.01);
    }
  }
}

TEST(ImageWriteTest, GifOfFewColoursKeepsThemExactly) {
  if (!test::have_pil()) GTEST_SKIP() << "needs Python with PIL";
  ScratchDir dir;
  const int w = 30, h = 20;
  std::vector<uint8_t> rgb(w * h * 3);
  imaging::Image expected;
  expected.width = w, expected.height = h;
  for (int i = 0; i < w * h; ++i) {
    const uint8_t c[3] = {uint8_t((i % 7) * 40), uint8_t((i / w % 3) * 100), 77};
    std::copy(c, c + 3, &rgb[i * 3]);
    expected.pixels.insert(expected.pixels.end(), {c[0], c[1], c[2], 255});
  }
  const std::string path = dir.path("few.gif");
  ASSERT_EQ(CVL_WriteToFileRGB24(rgb.data(), w, h, path.c_str(), ".gif", 72), 1);
  const PilView v = test::read_with_pil(dir, path);
  EXPECT_EQ(v.format, "GIF");
  EXPECT_EQ(test::max_difference(v.image, expected), 0);
}

TEST(ImageWriteTest, MetafilesHoldTheImageAsOpaquePixels) {
  // No independent decoder here renders metafiles, so the engine's own reader checks them.
  ScratchDir dir;
  const int w = 13, h = 9;
  const imaging::Image rgba = test::test_picture(w, h, true);
  const std::vector<uint8_t> rgb = test::rgb_of(rgba);
  for (const char* ext : {".emf", ".wmf"}) {
    SCOPED_TRACE(ext);
    const std::string path = dir.path(std::string("picture") + ext);
    ASSERT_EQ(CVL_WriteToFileRGB24(rgb.data(), w, h, path.c_str(), ext, 96), 1);
    imaging::Image back;
    back.width = w, back.height = h;
    back.pixels.resize(w * h * 4);
    ASSERT_EQ(CVL_ReadFromFileRGBA32(back.pixels.data(), w, h, path.c_str()), 1);
    EXPECT_EQ(test::max_difference(back, test::opaque(rgba)), 0);
  }
}

TEST(ImageWriteTest, ExtensionsNeedTheirDotAndIgnoreCaseAndUnknownOnesLeaveFilesAlone) {
  ScratchDir dir;
  const std::vector<uint8_t> rgb(4 * 3 * 3, 128), rgba(4 * 3 * 4, 200);
  const std::string bmp = dir.path("upper.bmp");
  EXPECT_EQ(CVL_WriteToFileRGB24(rgb.data(), 4, 3, bmp.c_str(), ".BMP", 72), 1);
  EXPECT_EQ(std::string(CVL_GetFileTypeName(bmp.c_str())), "BMP");
  const std::string png = dir.path("mixed.png");
  EXPECT_EQ(CVL_WriteToFileRGBA32(rgba.data(), 4, 3, png.c_str(), ".Png", 72), 1);
  EXPECT_EQ(std::string(CVL_GetFileTypeName(png.c_str())), "PNG");

  struct Refused {
    const char* ext;
    bool rgba;
  };
  const Refused refused[] = {{"jpeg", false}, {".jpeg", false}, {"bmp", false}, {".tga", false}, {".bmp.", false},
                             {"", false},     {nullptr, false}, {".jpg", true}, {".tiff", true}, {"png", true}};
  for (const Refused& r : refused) {
    SCOPED_TRACE(r.ext ? r.ext : "(null)");
    const std::string path = dir.path("refused");
    EXPECT_EQ(r.rgba ? CVL_WriteToFileRGBA32(rgba.data(), 4, 3, path.c_str(), r.ext, 72)
                     : CVL_WriteToFileRGB24(rgb.data(), 4, 3, path.c_str(), r.ext, 72),
              0);
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  // A file already there is not emptied by a write the engine cannot make.
  const std::string keep = dir.path("keep.jpeg");
  std::ofstream(keep) << "precious";
  EXPECT_EQ(CVL_WriteToFileRGB24(rgb.data(), 4, 3, keep.c_str(), ".jpeg", 72), 0);
  EXPECT_EQ(std::filesystem::file_size(keep), 8u);
}

TEST(ImageWriteTest, UnwritableDestinationsAndEmptyImagesReturnZero) {
  const std::vector<uint8_t> rgb(12, 0);
  EXPECT_EQ(CVL_WriteToFileRGB24(rgb.data(), 2, 2, "/nonexistent-dir/x.png", ".png", 72), 0);
  EXPECT_EQ(CVL_WriteToFileRGB24(rgb.data(), 0, 2, "/tmp/never-written.png", ".png", 72), 0);
  EXPECT_EQ(CVL_WriteToFileRGBA32(nullptr, 2, 2, "/tmp/never-written.png", ".png", 72), 0);
  EXPECT_FALSE(std::filesystem::exists("/tmp/never-written.png"));
}

}  // namespace
}  // namespace cvl

#include "io/image_read.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/codec.h"
#include "corvel/corvel.h"
#include "io/pil_reader.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using test::ScratchDir;

// Files made by independent tools with stated resolutions, and the dpi hosts get.
struct DpiCase {
  const char* file;
  const char* python;   // PIL code writing `file` (empty when ImageMagick makes it)
  const char* magick;   // convert arguments after the input, before the output
  int32_t dpi;
};

const DpiCase kDpiCases[] = {
    // 118 dots per centimetre is 299.72 dpi: truncated to 299, snapped to 300.
    {"cm118.jpg", "", "-units PixelsPerCentimeter -density 118", 300},
    {"inch96.jpg", "", "-units PixelsPerInch -density 96", 96},
    // 2835 dots per metre is 72.009 dpi: 72, which is not snapped anywhere else.
    {"ppm2835.png", "pattern('RGB', 8, 8).save(F, dpi=(72.009, 72.009))", nullptr, 72},
    {"ppm23622.png", "pattern('RGB', 8, 8).save(F, dpi=(600, 600))", nullptr, 600},
    {"dpi120.tif", "pattern('RGB', 8, 8).save(F, dpi=(120, 120))", nullptr, 72},
    {"dpi450.tif", "pattern('RGB', 8, 8).save(F, dpi=(450, 450))", nullptr, 450},
    {"cm59.tif", "", "-units PixelsPerCentimeter -density 59", 150},  // 149.86
    {"dpi300.bmp", "pattern('RGB', 8, 8).save(F, dpi=(300, 300))", nullptr, 300},
    {"dpi200.psd", "", "-units PixelsPerInch -density 200", 200},
    {"none.gif", "pattern('RGB', 8, 8).save(F)", nullptr, 72},
    {"nodpi.png", "pattern('RGB', 8, 8).save(F)", nullptr, 72},
};

TEST(ImageReadTest, ResolutionsOfIndependentFilesSnapToTheCommonValues) {
  if (!test::have_pil() || !test::have_magick()) GTEST_SKIP() << "needs Python with PIL and ImageMagick";
  ScratchDir dir;
  ASSERT_TRUE(dir.python("pattern('RGB', 8, 8).save('seed.png')"));
  for (const DpiCase& c : kDpiCases) {
    SCOPED_TRACE(c.file);
    const std::string path = dir.path(c.file);
    if (c.magick) {
      const std::string cmd = "convert '" + dir.path("seed.png") + "' " + c.magick + " '" + path + "'";
      ASSERT_EQ(std::system(cmd.c_str()), 0);
    } else {
      ASSERT_TRUE(dir.python(std::string("F = '") + path + "'\n" + c.python));
    }
    EXPECT_EQ(CVL_GetDPIFromFile(path.c_str()), c.dpi);
  }
  EXPECT_EQ(CVL_GetDPIFromFile(dir.path("missing.png").c_str()), 72);
}

TEST(ImageReadTest, SnappingBandsAreThreeWide) {
  const std::pair<int64_t, int32_t> cases[] = {{94, 72},   {95, 96},   {97, 96},   {98, 72},  {148, 72}, {151, 150},
                                               {199, 200}, {202, 72},  {298, 72},  {299, 300}, {301, 300},
                                               {449, 450}, {452, 72},  {601, 600}, {602, 72},  {-1, 72}};
  for (auto [dpi, snapped] : cases) EXPECT_EQ(snap_dpi(dpi), snapped) << dpi;
}

class ImageReadFileTest : public test::CanvasTest {
 protected:
  void SetUp() override {
    if (!test::have_pil()) GTEST_SKIP() << "needs Python with PIL";
    make_canvas(8, 8, 8);
    // PIL writes a 9 x 7 RGBA picture the engine has never seen.
    ASSERT_TRUE(dir_.python("pattern('RGBA', 9, 7).save('pic.png')\ndump('pic.png', 'pic.raw')"));
    path_ = dir_.path("pic.png");
    expected_ = test::read_dump(dir_.path("pic.raw"));
    ASSERT_EQ(expected_.width, 9);
  }
  ScratchDir dir_;
  std::string path_;
  imaging::Image expected_;
};

TEST_F(ImageReadFileTest, ReadingFillsTheNewRgbaBufferAndAFailureLeavesItAlone) {
  ASSERT_EQ(CVL_ReadFromFile(path_.c_str()), 1);
  EXPECT_EQ(CVL_GetNewRGBAWidth(), 9);
  EXPECT_EQ(CVL_GetNewRGBAHeight(), 7);
  EXPECT_EQ(CVL_IsNewRGBA32Transparent(), 1);  // the pattern has alpha 90 in places
  imaging::Image got = expected_;
  CVL_GetNewRGBA32(got.pixels.data());
  EXPECT_EQ(test::max_difference(got, expected_), 0);

  const std::string junk = dir_.path("junk.png");
  std::ofstream(junk) << "\x89PNG\r\n\x1a\n not really";
  EXPECT_EQ(CVL_ReadFromFile(junk.c_str()), 0);
  EXPECT_EQ(CVL_ReadFromFile(dir_.path("missing.png").c_str()), 0);
  EXPECT_EQ(CVL_GetNewRGBAWidth(), 9);
  CVL_GetNewRGBA32(got.pixels.data());
  EXPECT_EQ(test::max_difference(got, expected_), 0);
}

TEST_F(ImageReadFileTest, CallerBuffersAreFilledOnlyWhenTheSizeMatchesExactly) {
  std::vector<uint8_t> rgba(9 * 7 * 4), rgb(9 * 7 * 3);
  ASSERT_EQ(CVL_ReadFromFileRGBA32(rgba.data(), 9, 7, path_.c_str()), 1);
  EXPECT_EQ(rgba, expected_.pixels);
  ASSERT_EQ(CVL_ReadFromFileRGB24(rgb.data(), 9, 7, path_.c_str()), 1);
  EXPECT_EQ(rgb, test::rgb_of(expected_));

  // One pixel off either way, or no such file: the buffer keeps every byte.
  const std::pair<int, int> sizes[] = {{8, 7}, {10, 7}, {9, 6}, {9, 8}};
  for (auto [w, h] : sizes) {
    std::vector<uint8_t> dst(10 * 8 * 4, 0x5A);
    EXPECT_EQ(CVL_ReadFromFileRGBA32(dst.data(), w, h, path_.c_str()), 0);
    EXPECT_EQ(CVL_ReadFromFileRGB24(dst.data(), w, h, path_.c_str()), 0);
    EXPECT_EQ(dst, std::vector<uint8_t>(10 * 8 * 4, 0x5A)) << w << " x " << h;
  }
  EXPECT_EQ(CVL_ReadFromFileRGBA32(rgba.data(), 9, 7, dir_.path("missing.png").c_str()), 0);
  EXPECT_EQ(CVL_ReadFromFileRGBA32(nullptr, 9, 7, path_.c_str()), 0);
}

// Tiled and plane-by-plane files, as scanners and large-image tools store them, read
// through every file reader with the pixels PIL sees (16-bit samples by their high byte).
TEST_F(ImageReadFileTest, TiledAndSeparatePlaneTiffsReadThroughEveryReader) {
  const char* kMakes[] = {
      "subprocess.run(['tiffcp', '-t', '-w', '16', '-l', '16', 'pic.tif', F], check=True)",
      "subprocess.run(['tiffcp', '-p', 'separate', 'pic.tif', F], check=True)",
      "subprocess.run(['convert', 'pic.png', '-depth', '16', '-define', 'tiff:tile-geometry=16x16', F], check=True)",
  };
  ASSERT_TRUE(dir_.python("Image.open('pic.png').save('pic.tif')"));
  for (const char* make : kMakes) {
    SCOPED_TRACE(make);
    const std::string file = dir_.path("made.tif");
    ASSERT_TRUE(dir_.python(std::string("F = 'made.tif'\n") + make + "\ndump(F, 'made.raw')"));
    const imaging::Image theirs = test::read_dump(dir_.path("made.raw"));
    EXPECT_EQ(test::max_difference(theirs, expected_), 0);
    ASSERT_EQ(CVL_ReadFromFile(file.c_str()), 1);
    imaging::Image got = expected_;
    CVL_GetNewRGBA32(got.pixels.data());
    EXPECT_EQ(test::max_difference(got, theirs), 0);
    std::vector<uint8_t> rgba(9 * 7 * 4), rgb(9 * 7 * 3);
    ASSERT_EQ(CVL_ReadFromFileRGBA32(rgba.data(), 9, 7, file.c_str()), 1);
    EXPECT_EQ(rgba, theirs.pixels);
    ASSERT_EQ(CVL_ReadFromFileRGB24(rgb.data(), 9, 7, file.c_str()), 1);
    EXPECT_EQ(rgb, test::rgb_of(theirs));
  }
}

// A phone photo stored sideways (Exif orientation 6) reads upright through every path:
// the new-RGBA buffer, the size-checked caller buffers, the resolution, thumbnails.
TEST_F(ImageReadFileTest, EveryReaderTurnsAPhotoUpright) {
  ASSERT_TRUE(dir_.python("e = Image.Exif(); e[0x0112] = 6\n"
                          "pattern('RGB', 9, 7).save('phone.jpg', quality=95, exif=e.tobytes(), dpi=(300, 150))\n"
                          "ImageOps.exif_transpose(Image.open('phone.jpg')).save('upright.png')\n"
                          "dump('upright.png', 'upright.raw')"));
  const std::string file = dir_.path("phone.jpg");
  const imaging::Image theirs = test::read_dump(dir_.path("upright.raw"));
  ASSERT_EQ(theirs.width, 7);
  EXPECT_EQ(CVL_GetFileOrientation(file.c_str()), 6);
  ASSERT_EQ(CVL_ReadFromFile(file.c_str()), 1);
  EXPECT_EQ(CVL_GetNewRGBAWidth(), 7);
  EXPECT_EQ(CVL_GetNewRGBAHeight(), 9);
  imaging::Image got = theirs;
  CVL_GetNewRGBA32(got.pixels.data());
  EXPECT_LE(test::max_difference(got, theirs), 2);
  std::vector<uint8_t> rgba(7 * 9 * 4), rgb(7 * 9 * 3);
  EXPECT_EQ(CVL_ReadFromFileRGBA32(rgba.data(), 9, 7, file.c_str()), 0);  // the stored size is not the picture's
  ASSERT_EQ(CVL_ReadFromFileRGBA32(rgba.data(), 7, 9, file.c_str()), 1);
  EXPECT_EQ(rgba, got.pixels);
  ASSERT_EQ(CVL_ReadFromFileRGB24(rgb.data(), 7, 9, file.c_str()), 1);
  EXPECT_EQ(rgb, test::rgb_of(got));
  EXPECT_EQ(CVL_GetDPIFromFile(file.c_str()), 150);  // across the upright picture
  const std::string thumb = dir_.path("thumb.bmp");
  CVL_MakeThumbnail(file.c_str(), thumb.c_str());
  imaging::ImageInfo info;
  ASSERT_TRUE(imaging::probe_file(thumb.c_str(), info));
  EXPECT_LT(info.width, info.height);
  EXPECT_EQ(CVL_GetFileOrientation(path_.c_str()), 1);
  EXPECT_EQ(CVL_GetFileOrientation(dir_.path("missing.jpg").c_str()), 0);
}

TEST_F(ImageReadFileTest, MetafilesAreReadOpaque) {
  const imaging::Image rgba = test::test_picture(5, 4, true);
  const std::vector<uint8_t> rgb = test::rgb_of(rgba);
  const std::string emf = dir_.path("pic.emf");
  ASSERT_EQ(CVL_WriteToFileRGB24(rgb.data(), 5, 4, emf.c_str(), ".emf", 72), 1);
  EXPECT_EQ(std::string(CVL_GetFileTypeName(emf.c_str())), "EMF");
  EXPECT_EQ(CVL_GetFileOrientation(emf.c_str()), 1);
  ASSERT_EQ(CVL_ReadFromFile(emf.c_str()), 1);
  EXPECT_EQ(CVL_GetNewRGBAWidth(), 5);
  EXPECT_EQ(CVL_IsNewRGBA32Transparent(), 0);
  std::vector<uint8_t> back(5 * 4 * 3);
  ASSERT_EQ(CVL_ReadFromFileRGB24(back.data(), 5, 4, emf.c_str()), 1);
  EXPECT_EQ(back, rgb);
}

}  // namespace
}  // namespace cvl

#include "io/thumbnail.h"

#include <gtest/gtest.h>

#include <string>

#include "corvel/corvel.h"
#include "io/pil_reader.h"

namespace cvl {
namespace {

using test::ScratchDir;

TEST(ThumbnailTest, SizesKeepTheAspectAndNeverGrowWebPictures) {
  struct Case {
    int w, h;
    int max_w, max_h;  // 0: thumbnail
    int out_w, out_h;
  };
  const Case cases[] = {
      {400, 200, 0, 0, 100, 50},      {50, 80, 0, 0, 62, 100},         {300, 300, 0, 0, 100, 100},
      {5000, 3, 0, 0, 100, 1},        // a side truncated to nothing keeps one pixel
      {800, 800, 640, 480, 480, 480}, {1000, 500, 640, 480, 640, 320}, {300, 200, 640, 480, 300, 200},
      {640, 480, 640, 480, 640, 480}, {3, 5000, 640, 480, 1, 480},     {100, 100, 0, 480, 0, 0},
  };
  for (const Case& c : cases) {
    const PictureSize s = c.max_w || c.max_h ? web_picture_size(c.w, c.h, c.max_w, c.max_h) : thumbnail_size(c.w, c.h);
    EXPECT_EQ(s.width, c.out_w) << c.w << " x " << c.h << " in " << c.max_w << " x " << c.max_h;
    EXPECT_EQ(s.height, c.out_h) << c.w << " x " << c.h << " in " << c.max_w << " x " << c.max_h;
  }
}

TEST(ThumbnailTest, FilesAreWrittenAsBmpAndJpegOfTheChosenSize) {
  if (!test::have_pil()) GTEST_SKIP() << "needs Python with PIL";
  ScratchDir dir;
  // Flat colours, so that averaging and resampling keep them: left half red, right half blue.
  const char* make = "def halves(w, h, name):\n"
                     "    im = Image.new('RGBA', (w, h), (200, 30, 40, 128))\n"
                     "    im.paste((20, 60, 220, 255), (w // 2, 0, w, h))\n"
                     "    im.save(name)\n"
                     "halves(400, 200, 'wide.png')\nhalves(50, 80, 'tall.png')\nhalves(800, 800, 'square.png')\n";
  ASSERT_TRUE(dir.python(make));
  struct Case {
    const char* src;
    bool web;
    const char* format;
    int w, h;
  };
  const Case cases[] = {{"wide.png", false, "BMP", 100, 50},
                        {"tall.png", false, "BMP", 62, 100},
                        {"square.png", true, "JPEG", 480, 480}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.src);
    const std::string out = dir.path(std::string(c.src) + (c.web ? ".jpg" : ".bmp"));
    EXPECT_EQ(c.web ? CVL_MakeWebPic(dir.path(c.src).c_str(), out.c_str(), 640, 480)
                    : CVL_MakeThumbnail(dir.path(c.src).c_str(), out.c_str()),
              0);
    const test::PilView v = test::read_with_pil(dir, out);
    EXPECT_EQ(v.format, c.format);
    ASSERT_EQ(v.image.width, c.w);
    ASSERT_EQ(v.image.height, c.h);
    // Alpha is dropped, not composited: the half-transparent red stays full red.
    const uint8_t* left = &v.image.pixels[(size_t(c.h / 2) * c.w + 2) * 4];
    const uint8_t* right = &v.image.pixels[(size_t(c.h / 2) * c.w + c.w - 3) * 4];
    const int tolerance = c.web ? 4 : 0;
    EXPECT_NEAR(left[0], 200, tolerance);
    EXPECT_NEAR(left[2], 40, tolerance);
    EXPECT_NEAR(right[0], 20, tolerance);
    EXPECT_NEAR(right[2], 220, tolerance);
    EXPECT_EQ(left[3], 255);
  }
  // An unreadable source writes nothing and still answers 0.
  const std::string none = dir.path("none.bmp");
  EXPECT_EQ(CVL_MakeThumbnail(dir.path("missing.png").c_str(), none.c_str()), 0);
  EXPECT_EQ(CVL_MakeWebPic(dir.path("missing.png").c_str(), none.c_str(), 10, 10), 0);
  EXPECT_FALSE(std::filesystem::exists(none));
}

}  // namespace
}  // namespace cvl

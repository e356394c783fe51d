#include "io/page_save.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "corvel/corvel.h"
#include "io/pil_reader.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using test::ScratchDir;

// A canvas whose flattened rows all differ: a background with a colour per row and a
// half-transparent multiplying layer over part of it.
class PageSaveTest : public test::CanvasTest {
 protected:
  static constexpr int kW = 11, kH = 7;
  void SetUp() override {
    make_canvas(kW, kH, 8);
    test::give_slot_pixels(1, 0, 0, 0, 65535);
    uint16_t* bg = e().slot(1).data();
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        uint16_t* p = bg + (y * kW + x) * 4;
        p[0] = uint16_t(y * 9000), p[1] = uint16_t(x * 5000), p[2] = uint16_t(60000 - y * 3000);
      }
    test::give_slot_pixels(2, 50000, 20000, 65280, 0);
    uint16_t* top = e().slot(2).data();
    for (int i = 0; i < kW * kH; ++i)
      if (i % kW > 3) top[i * 4 + 3] = uint16_t(20000 + i * 300);
    CVL_SetLayerOptions(2, 1, 0, 80, "Multiply");
    CVL_SetLayer(2);
  }
  // Layer options outlive the canvas; later tests start from plain slots.
  void TearDown() override {
    test::CanvasTest::TearDown();
    e().slot(1) = Layer{};
    e().slot(2) = Layer{};
  }
  // The flattened canvas as 8-bit RGBA, alpha forced opaque when the format has none.
  imaging::Image flattened(bool keep_alpha) {
    std::vector<uint16_t> wide(kW * kH * 4);
    CVL_MergeRect(wide.data(), 0, 0, kW, kH);
    imaging::Image im;
    im.width = kW, im.height = kH;
    for (size_t i = 0; i < wide.size(); ++i) im.pixels.push_back(uint8_t(wide[i] >> 8));
    return keep_alpha ? im : test::opaque(im);
  }
};

TEST_F(PageSaveTest, EveryPageFormatHoldsTheFlattenedCanvasAndItsResolution) {
  if (!test::have_pil()) GTEST_SKIP() << "needs Python with PIL";
  struct Case {
    const char* ext;
    bool rgb32;
    const char* format;
    int tolerance;  // JPEG
    bool has_dpi;
  };
  const Case cases[] = {{".bmp", false, "BMP", 0, true},  {".png", false, "PNG", 0, true},
                        {".JPG", false, "JPEG", 10, true}, {".png", true, "PNG", 0, true},
                        {".tga", true, "TGA", 0, false},  {".tif", true, "TIFF", 0, true}};
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ext) + (c.rgb32 ? " RGB32" : " RGB24"));
    const std::string path = dir.path(std::string(c.rgb32 ? "page32" : "page24") + c.ext);
    EXPECT_EQ(c.rgb32 ? CVL_SavePageToFileRGB32(path.c_str(), c.ext, 300)
                      : CVL_SavePageToFileRGB24(path.c_str(), c.ext, 300),
              0);
    const test::PilView v = test::read_with_pil(dir, path);
    EXPECT_EQ(v.format, c.format);
    const int diff = test::max_difference(v.image, flattened(c.rgb32));
    EXPECT_GE(diff, 0);  // same size
    EXPECT_LE(diff, c.tolerance);
    if (c.has_dpi) {
      EXPECT_NEAR(v.dpi_x, 300, 0.01);
    }
  }
}

TEST_F(PageSaveTest, OtherExtensionsAndUnwritablePathsWriteNothing) {
  ScratchDir dir;
  const char* refused[][2] = {{".gif", "24"}, {".tif", "24"}, {".jpg", "32"}, {".bmp", "32"}, {"png", "32"}};
  for (auto& r : refused) {
    const std::string path = dir.path(std::string("refused") + r[0]);
    if (r[1][0] == '2')
      CVL_SavePageToFileRGB24(path.c_str(), r[0], 72);
    else
      CVL_SavePageToFileRGB32(path.c_str(), r[0], 72);
    EXPECT_FALSE(std::filesystem::exists(path)) << r[0] << " " << r[1];
  }
  const std::string path = dir.path("nowhere/page.png");
  CVL_SavePageToFileRGB32(path.c_str(), ".png", 72);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// Resident-set figures of this process, in KiB.
long status_kib(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string key;
  long value = -1;
  while (in >> key) {
    if (key == field) {
      in >> value;
      return value;
    }
    in.ignore(4096, '\n');
  }
  return -1;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr int kBigEdge = 2048;  // the sanitizers' shadow memory would dwarf the figure, and take minutes
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kBigEdge = 2048;
#else
constexpr int kBigEdge = 8192;
#endif
#else
constexpr int kBigEdge = 8192;
#endif

TEST(PageSaveMemoryTest, SavingABigCanvasHoldsOnlyAFewRowsBeyondTheLayers) {
  const int n = kBigEdge;
  CVL_DeleteImage();
  CVL_CreateImage(nullptr, n, n, 8, 0);
  ASSERT_EQ(CVL_CreateLayer(1, n, n), 1);  // a white background: 8 bytes per pixel, all touched
  CVL_SetLayerOptions(1, 1, 0, 100, "Normal");
  // Resetting the peak makes it the current resident size; what the save adds shows as growth.
  if (!(std::ofstream("/proc/self/clear_refs") << "5")) GTEST_SKIP() << "cannot reset the peak resident size";
  const long before = status_kib("VmRSS:");
  CVL_SavePageToFileRGB32("/dev/null", ".png", 72);
  const long peak = status_kib("VmHWM:");
  CVL_DeleteImage();
  engine().slot(1) = Layer{};
  ASSERT_GT(before, 0);
  const long layer_kib = long(n) * n * 8 / 1024;
  const long grown = peak - before;
  std::printf("page save of %d x %d: layer %ld KiB, peak growth while saving %ld KiB\n", n, n, layer_kib, grown);
  RecordProperty("peak_growth_kib", std::to_string(grown));
  // A block of 64-bit rows (1 MiB) and one 8-bit row; libpng and zlib keep well under 2 MiB.
  EXPECT_LT(grown, 4096);
}

}  // namespace
}  // namespace cvl

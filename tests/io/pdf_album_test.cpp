#include "io/pdf_album.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "corvel/corvel.h"
#include "codecs/encode.h"
#include "codecs/independent_decoder.h"
#include "io/tool_output.h"

namespace cvl {
namespace {

using test::ScratchDir;

struct Rgb {
  int r, g, b;
};
// Quadrant colours, so that a flipped or mirrored placement shows.
constexpr Rgb kQuadrants[4] = {{250, 10, 10}, {10, 250, 10}, {10, 10, 250}, {240, 240, 20}};

std::string quadrant_png(const ScratchDir& dir, const std::string& name, int w, int h) {
  imaging::Image im;
  im.width = w, im.height = h, im.channels = 3;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Rgb& c = kQuadrants[(y >= h / 2) * 2 + (x >= w / 2)];
      im.pixels.insert(im.pixels.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
    }
  const std::string path = dir.path(name);
  EXPECT_TRUE(imaging::write_png(path.c_str(), im.view()));
  return path;
}

struct Ppm {
  int width = 0, height = 0;
  std::string data;
  Rgb at(int x, int y) const {
    const size_t i = (size_t(y) * width + x) * 3;
    return {uint8_t(data[i]), uint8_t(data[i + 1]), uint8_t(data[i + 2])};
  }
};

// One page rendered at 72 dpi, so that a point is a pixel.
Ppm render_page(const std::string& pdf, int page) {
  const std::string out = test::tool_output("pdftoppm -r 72 -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                            " '" + pdf + "'");
  Ppm p;
  std::istringstream in(out);
  std::string magic;
  int maxval = 0;
  in >> magic >> p.width >> p.height >> maxval;
  in.get();
  p.data.assign(std::istreambuf_iterator<char>(in), {});
  if (magic != "P6" || p.data.size() < size_t(p.width) * p.height * 3) p = Ppm{};
  return p;
}

void expect_near(const Rgb& got, const Rgb& want, const std::string& where) {
  EXPECT_NEAR(got.r, want.r, 3) << where;
  EXPECT_NEAR(got.g, want.g, 3) << where;
  EXPECT_NEAR(got.b, want.b, 3) << where;
}

class PdfAlbumTest : public testing::Test {
 protected:
  void SetUp() override { CVL_I2PDF_Reset(); }
  ScratchDir dir_;
};

TEST_F(PdfAlbumTest, ThreeImagesMakeThreeBorderedPagesAndAreRemoved) {
  CORVEL_SKIP_WITHOUT_OUTSIDE_TOOLS();
  struct Page {
    int w, h;  // pixels; at 96 dpi a pixel is 0.75 points
  } pages[] = {{96, 48}, {48, 96}, {40, 40}};
  std::vector<std::string> files;
  for (int i = 0; i < 3; ++i) {
    files.push_back(quadrant_png(dir_, "image" + std::to_string(i) + ".png", pages[i].w, pages[i].h));
    EXPECT_EQ(CVL_I2PDF_AddImage(files.back().c_str()), 1);
  }
  const std::string pdf = dir_.path("album.pdf");
  EXPECT_EQ(CVL_I2PDF_MakePDF(pdf.c_str()), 1);
  for (const std::string& f : files) EXPECT_FALSE(std::filesystem::exists(f)) << f;

  auto info = test::tool_fields(test::tool_output("pdfinfo -f 1 -l 3 '" + pdf + "'"), ':');
  EXPECT_EQ(info["Pages"], "3");
  for (int i = 0; i < 3; ++i) {
    const int w = pages[i].w * 3 / 4, h = pages[i].h * 3 / 4;  // the image in points
    EXPECT_EQ(info["Page    " + std::to_string(i + 1) + " size"],
              std::to_string(w + 40) + " x " + std::to_string(h + 40) + " pts");
    const Ppm p = render_page(pdf, i + 1);
    ASSERT_EQ(p.width, w + 40);
    ASSERT_EQ(p.height, h + 40);
    const std::string page = "page " + std::to_string(i + 1);
    for (auto [x, y] : {std::pair{2, 2}, {p.width - 3, p.height - 3}, {10, p.height / 2}, {p.width / 2, 15}})
      expect_near(p.at(x, y), {196, 196, 196}, page + " border");
    for (int q = 0; q < 4; ++q)
      expect_near(p.at(20 + w / 4 + (q % 2) * w / 2, 20 + h / 4 + (q / 2) * h / 2), kQuadrants[q],
                  page + " quadrant " + std::to_string(q));
  }
  EXPECT_TRUE(pdf_album().images.empty());
  EXPECT_EQ(test::read_bytes(pdf).size() > 0, true);
}

TEST_F(PdfAlbumTest, SlideShowPagesCarryTransitionsAndDurations) {
  CORVEL_SKIP_WITHOUT_OUTSIDE_TOOLS();
  for (int i = 0; i < 2; ++i) CVL_I2PDF_AddImage(quadrant_png(dir_, "s" + std::to_string(i) + ".png", 32, 32).c_str());
  const std::string pdf = dir_.path("show.pdf");
  EXPECT_EQ(CVL_I2PDF_MakePDFSlideshow(pdf.c_str()), 1);
  EXPECT_EQ(test::tool_fields(test::tool_output("pdfinfo '" + pdf + "'"), ':')["Pages"], "2");
  const auto bytes = test::read_bytes(pdf);
  const std::string text(bytes.begin(), bytes.end());
  size_t transitions = 0;
  for (size_t at = text.find("/Trans"); at != std::string::npos; at = text.find("/Trans", at + 1)) ++transitions;
  EXPECT_GE(transitions, 2u);
  EXPECT_NE(text.find("/S /Box"), std::string::npos);
  EXPECT_NE(text.find("/Dur 4"), std::string::npos);
  EXPECT_NE(text.find("/FullScreen"), std::string::npos);
}

TEST_F(PdfAlbumTest, AFailedConversionKeepsTheImagesAndReportsNothingMade) {
  const std::string image = quadrant_png(dir_, "keep.png", 16, 16);
  EXPECT_EQ(CVL_I2PDF_AddImage(dir_.path("missing.png").c_str()), 0);
  EXPECT_EQ(CVL_I2PDF_AddImage(image.c_str()), 1);
  EXPECT_EQ(CVL_I2PDF_MakePDF(dir_.path("no/such/dir/out.pdf").c_str()), 0);
  EXPECT_TRUE(std::filesystem::exists(image));
  // The album is emptied either way.
  EXPECT_EQ(CVL_I2PDF_MakePDF(dir_.path("empty.pdf").c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.path("empty.pdf")));
}

}  // namespace
}  // namespace cvl

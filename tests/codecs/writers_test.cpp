#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "codecs/codec.h"
#include "codecs/encode.h"
#include "codecs/independent_decoder.h"
#include "codecs/metafile.h"

namespace cvl::imaging {
namespace {

using test::ScratchDir;

// A w x h picture with `channels` channels, rows padded to show that strides are honoured.
struct Picture {
  std::vector<uint8_t> bytes;
  ImageView view;
  Picture(int w, int h, int channels) : bytes(size_t(w * channels + 5) * h) {
    view = {bytes.data(), w, h, channels, w * channels + 5};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t* p = view.row(y) + x * channels;
        p[0] = uint8_t(x * 37 + y), p[1] = uint8_t(y * 51 + x * 3), p[2] = uint8_t(x * y * 13);
        if (channels == 4) p[3] = (x + y) % 3 ? 255 : uint8_t(90 + x);
      }
  }
  // Packed RGBA as a decoder would give it (alpha 255 when the picture has none).
  Image as_rgba(bool keep_alpha) const {
    Image im;
    im.width = view.width, im.height = view.height;
    for (int y = 0; y < view.height; ++y)
      for (int x = 0; x < view.width; ++x) {
        const uint8_t* p = view.row(y) + x * view.channels;
        im.pixels.insert(im.pixels.end(), {p[0], p[1], p[2], keep_alpha && view.channels == 4 ? p[3] : uint8_t(255)});
      }
    return im;
  }
};

struct PilView {
  Image image;
  double dpi_x = 0, dpi_y = 0;
};

// Has PIL decode `path`, returning its pixels and the dpi it reports (0 when none).
PilView read_with_pil(const ScratchDir& dir, const std::string& path) {
  PilView v;
  const std::string code = "F = '" + path + "'\ndump(F, F + '.raw')\nd = Image.open(F).info.get('dpi')\n"
                           "open(F + '.dpi', 'w').write('%f %f' % (float(d[0]), float(d[1])) if d else '0 0')\n";
  if (!dir.python(code)) return v;
  v.image = test::read_dump(path + ".raw");
  std::ifstream(path + ".dpi") >> v.dpi_x >> v.dpi_y;
  return v;
}

struct WriterCase {
  const char* file;
  int channels;
  std::function<bool(const char*, const ImageView&)> write;
  int tolerance;     // per channel; JPEG is lossy
  bool keeps_alpha;
  double dpi;        // what the tool should report; 0 when the format holds none
};

const Resolution k300PerMetre{300 * 39.3700787, 300 * 39.3700787, ResolutionUnit::PerMetre};
const Resolution k300PerInch{300, 300, ResolutionUnit::PerInch};

const WriterCase kWriters[] = {
    {"out.bmp", 3, [](const char* p, const ImageView& v) { return write_bmp(p, v, k300PerMetre); }, 0, false, 300},
    {"rgba.bmp", 4, [](const char* p, const ImageView& v) { return write_bmp(p, v, k300PerMetre); }, 0, false, 300},
    {"rgb.png", 3, [](const char* p, const ImageView& v) { return write_png(p, v, k300PerMetre); }, 0, false, 300},
    {"rgba.png", 4, [](const char* p, const ImageView& v) { return write_png(p, v, k300PerMetre); }, 0, true, 300},
    {"out.jpg", 3, [](const char* p, const ImageView& v) { return write_jpeg(p, v, 97, k300PerInch); }, 12, false, 300},
    {"rgba.tif", 4, [](const char* p, const ImageView& v) { return write_tiff(p, v, k300PerInch); }, 0, true, 300},
    {"rgb.tif", 3, [](const char* p, const ImageView& v) { return write_tiff(p, v, k300PerInch); }, 0, false, 300},
    {"out.tga", 4, [](const char* p, const ImageView& v) { return write_tga(p, v); }, 0, true, 0},
    {"rgb.tga", 3, [](const char* p, const ImageView& v) { return write_tga(p, v); }, 0, true, 0},
    {"out.pcx", 3, [](const char* p, const ImageView& v) { return write_pcx(p, v); }, 0, false, 0},
    {"out.psd", 3, [](const char* p, const ImageView& v) { return write_psd(p, v); }, 0, false, 0},
};

// Formats counting per metre store whole numbers, so a dpi comes back within 0.0254.
void expect_resolution(const char* path, double dpi) {
  ImageInfo info;
  ASSERT_TRUE(probe_file(path, info));
  const double factor = info.resolution.unit == ResolutionUnit::PerInch         ? 1.0
                        : info.resolution.unit == ResolutionUnit::PerCentimetre ? 2.54
                        : info.resolution.unit == ResolutionUnit::PerMetre      ? 0.0254
                                                                                : 0.0;
  EXPECT_NEAR(info.resolution.x * factor, dpi, 0.0254);
  EXPECT_NEAR(info.resolution.y * factor, dpi, 0.0254);
}

TEST(Writers, IndependentDecoderReadsTheSamePixelsAndResolution) {
  if (!test::have_pil()) GTEST_SKIP() << "needs Python PIL";
  ScratchDir dir;
  for (const WriterCase& c : kWriters) {
    SCOPED_TRACE(c.file);
    Picture pic(23, 17, c.channels);
    const std::string path = dir.path(c.file);
    ASSERT_TRUE(c.write(path.c_str(), pic.view));
    const PilView theirs = read_with_pil(dir, path);
    const Image expected = pic.as_rgba(c.keeps_alpha);
    const int diff = test::max_difference(theirs.image, expected);
    EXPECT_GE(diff, 0);
    EXPECT_LE(diff, c.tolerance);
    Image ours;
    ASSERT_TRUE(decode_file(path.c_str(), ours));
    EXPECT_LE(test::max_difference(ours, theirs.image), c.tolerance == 0 ? 0 : 2);
    if (c.dpi > 0) {
      EXPECT_NEAR(theirs.dpi_x, c.dpi, 0.01);
      EXPECT_NEAR(theirs.dpi_y, c.dpi, 0.01);
      expect_resolution(path.c_str(), c.dpi);
    }
  }
}

TEST(Writers, LineWritersMatchTheWholeImageWriters) {
  if (!test::have_pil()) GTEST_SKIP() << "needs Python PIL";
  struct LineCase {
    const char* file;
    LineFormat format;
    int channels;
    int tolerance;
    bool keeps_alpha, bottom_first;
  } cases[] = {
      {"lines.bmp", LineFormat::Bmp, 3, 0, false, true},  {"lines.png", LineFormat::Png, 3, 0, false, false},
      {"lines4.png", LineFormat::Png, 4, 0, true, false}, {"lines.jpg", LineFormat::Jpeg, 3, 12, false, false},
      {"lines.tga", LineFormat::Tga, 4, 0, true, false},  {"lines.tif", LineFormat::Tiff, 4, 0, true, false},
  };
  ScratchDir dir;
  LineWriterOptions options;
  options.resolution = {150, 150, ResolutionUnit::PerInch};
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.file);
    Picture pic(31, 9, c.channels);
    const std::string path = dir.path(c.file);
    auto writer = open_line_writer(c.format, path.c_str(), 31, 9, c.channels, options);
    ASSERT_NE(writer, nullptr);
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(writer->write_row(pic.view.row(c.bottom_first ? 8 - i : i)));
    EXPECT_FALSE(writer->write_row(pic.view.row(0)));  // one row too many
    EXPECT_FALSE(writer->finish());
    // Again, properly.
    writer = open_line_writer(c.format, path.c_str(), 31, 9, c.channels, options);
    for (int i = 0; i < 9; ++i) writer->write_row(pic.view.row(c.bottom_first ? 8 - i : i));
    ASSERT_TRUE(writer->finish());
    writer.reset();
    const PilView theirs = read_with_pil(dir, path);
    EXPECT_LE(test::max_difference(theirs.image, pic.as_rgba(c.keeps_alpha)), c.tolerance);
    if (c.format != LineFormat::Tga) expect_resolution(path.c_str(), 150);
  }
}

TEST(Writers, MissingRowsAndUnwritablePathsFail) {
  ScratchDir dir;
  Picture pic(8, 4, 4);
  const std::string path = dir.path("short.png");
  auto writer = open_line_writer(LineFormat::Png, path.c_str(), 8, 4, 4);
  ASSERT_NE(writer, nullptr);
  writer->write_row(pic.view.row(0));
  EXPECT_FALSE(writer->finish());
  EXPECT_EQ(open_line_writer(LineFormat::Png, path.c_str(), 8, 4, 2), nullptr);  // two channels
  EXPECT_EQ(open_line_writer(LineFormat::Bmp, path.c_str(), 0, 4, 3), nullptr);

  const char* nowhere = "/nonexistent/dir/out";
  EXPECT_FALSE(write_bmp(nowhere, pic.view));
  EXPECT_FALSE(write_png(nowhere, pic.view));
  EXPECT_FALSE(write_jpeg(nowhere, pic.view, 90));
  EXPECT_FALSE(write_tiff(nowhere, pic.view));
  EXPECT_FALSE(write_tga(nowhere, pic.view));
  EXPECT_FALSE(write_pcx(nowhere, pic.view));
  EXPECT_FALSE(write_psd(nowhere, pic.view));
  EXPECT_FALSE(write_gif(nowhere, pic.view));
  EXPECT_FALSE(write_metafile(nowhere, pic.view));
}

TEST(Writers, GifHoldsAPaletteThatTheIndependentDecoderAgreesWith) {
  if (!test::have_pil()) GTEST_SKIP() << "needs Python PIL";
  ScratchDir dir;
  // Few colours survive the palette exactly.
  Picture pic(16, 8, 3);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) {
      uint8_t* p = pic.view.row(y) + x * 3;
      p[0] = uint8_t(x < 8 ? 250 : 10), p[1] = uint8_t(y < 4 ? 20 : 200), p[2] = 99;
    }
  const std::string path = dir.path("out.gif");
  ASSERT_TRUE(write_gif(path.c_str(), pic.view));
  const PilView theirs = read_with_pil(dir, path);
  EXPECT_EQ(test::max_difference(theirs.image, pic.as_rgba(false)), 0);
  Image ours;
  ASSERT_TRUE(decode_file(path.c_str(), ours));
  EXPECT_EQ(test::max_difference(ours, theirs.image), 0);
}

TEST(Metafiles, BothKindsReadBackAsTheWrittenPicture) {
  ScratchDir dir;
  Picture pic(19, 11, 4);
  for (MetafileKind kind : {MetafileKind::Enhanced, MetafileKind::Windows}) {
    const std::string path = dir.path(kind == MetafileKind::Enhanced ? "out.emf" : "out.wmf");
    ASSERT_TRUE(write_metafile(path.c_str(), pic.view, kind));
    EXPECT_EQ(guess_file_type(path.c_str()), kind == MetafileKind::Enhanced ? FileType::Emf : FileType::Wmf);
    Image rgb;
    ASSERT_TRUE(read_metafile_file(path.c_str(), 0x00FF00, 5, 5, rgb));
    ASSERT_EQ(rgb.channels, 3);
    const Image expected = pic.as_rgba(false);
    ASSERT_EQ(rgb.width, 19);
    ASSERT_EQ(rgb.height, 11);
    for (size_t i = 0, n = size_t(19 * 11); i < n; ++i)
      for (int c = 0; c < 3; ++c) ASSERT_EQ(rgb.pixels[i * 3 + c], expected.pixels[i * 4 + c]) << i;
    // Cut files are refused, never read past.
    const auto bytes = test::read_bytes(path);
    for (size_t n = 0; n + 1 < bytes.size(); n += 7) {
      Image cut;
      EXPECT_FALSE(read_metafile(bytes.data(), n, 0, 5, 5, cut)) << n;
    }
  }
}

TEST(Metafiles, PicturesWithoutABitmapOrWithAHugeFrameAreRefused) {
  ScratchDir dir;
  Picture pic(4, 3, 3);
  const std::string path = dir.path("small.emf");
  ASSERT_TRUE(write_metafile(path.c_str(), pic.view));
  auto bytes = test::read_bytes(path);
  // The stretched bitmap record turned into a comment record: nothing left to draw.
  std::vector<uint8_t> vector_only = bytes;
  vector_only[88] = 70;
  Image im;
  EXPECT_FALSE(read_metafile(vector_only.data(), vector_only.size(), 0, 4, 3, im));
  // Bounds claiming 100000 x 100000 pixels from a few hundred bytes.
  std::vector<uint8_t> huge = bytes;
  for (int at : {16, 20}) huge[size_t(at)] = 0x9F, huge[size_t(at) + 1] = 0x86, huge[size_t(at) + 2] = 0x01;
  EXPECT_FALSE(read_metafile(huge.data(), huge.size(), 0, 4, 3, im));
  EXPECT_TRUE(im.empty());
  EXPECT_TRUE(read_metafile(bytes.data(), bytes.size(), 0, 4, 3, im));
}

}  // namespace
}  // namespace cvl::imaging

// WebP against the format's own command-line tools: files they wrote read back
// with their pixels, and files the engine wrote decode with them to ours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "corvel/corvel.h"
#include "codecs/codec.h"
#include "codecs/decoders.h"
#include "codecs/encode.h"
#include "codecs/independent_decoder.h"

namespace cvl::imaging {
namespace {

using test::ScratchDir;

bool have_webp_tools() {
  static const bool ok = std::system("cwebp -version >/dev/null 2>&1 && dwebp -version >/dev/null 2>&1") == 0;
  return ok;
}

bool sh(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// Packed pixels with every kind of content a codec gets wrong: noise-like colour,
// partial and zero alpha with colour under it (smooth when `smooth`, for lossy files).
Image pattern(int w, int h, int channels, bool smooth = false) {
  Image im;
  im.width = w, im.height = h, im.channels = channels;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (smooth)
        im.pixels.insert(im.pixels.end(), {uint8_t(x * 4), uint8_t(y * 5), uint8_t(128 + x - y)});
      else
        im.pixels.insert(im.pixels.end(), {uint8_t(x * 37 + y), uint8_t(y * 51 + x * 3), uint8_t(x * y * 13)});
      if (channels == 4) im.pixels.push_back((x + y) % 3 ? 255 : uint8_t(x * 11 % 3 == 0 ? 0 : 90 + x));
    }
  return im;
}

Image as_rgba(const Image& im) {
  if (im.channels == 4) return im;
  Image out;
  out.width = im.width, out.height = im.height, out.channels = 4;
  for (size_t i = 0; i + 2 < im.pixels.size(); i += 3)
    out.pixels.insert(out.pixels.end(), {im.pixels[i], im.pixels[i + 1], im.pixels[i + 2], 255});
  return out;
}

ImageView view_of(Image& im) { return {im.pixels.data(), im.width, im.height, im.channels, im.width * im.channels}; }

// What dwebp decodes from `path`, through its PAM output (always RGBA).
Image dwebp(const ScratchDir& dir, const std::string& path) {
  Image im;
  const std::string pam = dir.path("out.pam");
  if (!sh("dwebp '" + path + "' -pam -o '" + pam + "'")) return im;
  const std::vector<uint8_t> bytes = test::read_bytes(pam);
  const std::string text(bytes.begin(), bytes.end());
  const size_t end = text.find("ENDHDR\n");
  if (end == std::string::npos) return im;
  const auto field = [&](const char* name) {
    const size_t at = text.find(name);
    return at < end ? std::atoi(text.c_str() + at + std::strlen(name)) : 0;
  };
  im.width = field("WIDTH ");
  im.height = field("HEIGHT ");
  im.channels = 4;
  im.pixels.assign(bytes.begin() + long(end + 7), bytes.end());
  return im;
}

// Mean absolute difference per channel, for lossy files.
double mean_difference(const Image& a, const Image& b) {
  if (a.pixels.size() != b.pixels.size() || a.pixels.empty()) return 1e9;
  double sum = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) sum += std::abs(int(a.pixels[i]) - int(b.pixels[i]));
  return sum / double(a.pixels.size());
}

TEST(WebP, FilesTheToolWroteReadWithTheirPixels) {
  if (!have_webp_tools()) GTEST_SKIP() << "needs cwebp and dwebp";
  ScratchDir dir;
  struct Case {
    int channels;
    const char* options;
    double mean_tolerance;  // 0: exact
  } cases[] = {{4, "-lossless -exact", 0}, {3, "-lossless", 0}, {4, "-q 90 -exact", 6}, {3, "-q 90", 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.options) + (c.channels == 4 ? " rgba" : " rgb"));
    Image src = pattern(29, 19, c.channels, c.mean_tolerance > 0);
    const std::string png = dir.path("in.png"), webp = dir.path("in.webp");
    ASSERT_TRUE(write_png(png.c_str(), view_of(src)));
    ASSERT_TRUE(sh(std::string("cwebp ") + c.options + " '" + png + "' -o '" + webp + "'"));
    EXPECT_EQ(guess_file_type(webp.c_str()), FileType::Webp);
    Image ours;
    ASSERT_TRUE(decode_file(webp.c_str(), ours));
    ASSERT_EQ(ours.width, 29);
    ASSERT_EQ(ours.height, 19);
    if (c.mean_tolerance == 0)
      EXPECT_EQ(test::max_difference(ours, as_rgba(src)), 0);
    else
      EXPECT_LT(mean_difference(ours, as_rgba(src)), c.mean_tolerance);
    // The tool's own decoder sees what ours does.
    EXPECT_EQ(test::max_difference(ours, dwebp(dir, webp)), 0);
  }
}

TEST(WebP, FilesTheEngineWroteDecodeWithTheToolToTheSamePixels) {
  if (!have_webp_tools()) GTEST_SKIP() << "needs cwebp and dwebp";
  ScratchDir dir;
  struct Case {
    int channels, quality;
    double mean_tolerance;
  } cases[] = {{4, -1, 0}, {3, -1, 0}, {4, 101, 0}, {4, 90, 6}, {3, 90, 6}, {3, 0, 30}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " channels, quality " << c.quality);
    Image src = pattern(29, 19, c.channels, c.mean_tolerance > 0);
    const std::string path = dir.path("engine.webp");
    ASSERT_EQ(CVL_WriteToFileWebP(src.pixels.data(), src.width, src.height, c.channels, path.c_str(), c.quality), 1);
    const Image theirs = dwebp(dir, path);
    ASSERT_EQ(theirs.width, 29);
    if (c.mean_tolerance == 0)
      EXPECT_EQ(test::max_difference(theirs, as_rgba(src)), 0);
    else
      EXPECT_LT(mean_difference(theirs, as_rgba(src)), c.mean_tolerance);
  }
}

// The extension tables: ".webp" writes lossless from both the RGB and RGBA entries,
// and the engine's reader takes it like any other file.
TEST(WebP, ExtensionWritersAndTheReaderRoundTrip) {
  ScratchDir dir;
  const std::string path = dir.path("table.webp");
  Image rgba = pattern(17, 11, 4), rgb = pattern(17, 11, 3);
  ASSERT_EQ(CVL_WriteToFileRGBA32(rgba.pixels.data(), 17, 11, path.c_str(), ".webp", 96), 1);
  ASSERT_EQ(CVL_ReadFromFile(path.c_str()), 1);
  EXPECT_STREQ(CVL_GetFileTypeName(path.c_str()), "WEBP");
  ASSERT_EQ(CVL_GetNewRGBAWidth(), 17);
  std::vector<uint8_t> back(17 * 11 * 4);
  CVL_GetNewRGBA32(back.data());
  CVL_DeleteNewRGBA();
  EXPECT_EQ(back, rgba.pixels);
  ASSERT_EQ(CVL_WriteToFileRGB24(rgb.pixels.data(), 17, 11, path.c_str(), ".webp", 96), 1);
  Image ours;
  ASSERT_TRUE(decode_file(path.c_str(), ours));
  EXPECT_EQ(test::max_difference(ours, as_rgba(rgb)), 0);
  // Bad arguments write nothing.
  EXPECT_EQ(CVL_WriteToFileWebP(rgb.pixels.data(), 17, 11, 2, path.c_str(), -1), 0);
  EXPECT_EQ(CVL_WriteToFileWebP(nullptr, 17, 11, 3, path.c_str(), -1), 0);
  EXPECT_EQ(CVL_WriteToFileWebP(rgb.pixels.data(), 0, 11, 3, path.c_str(), -1), 0);
}

// A header that only claims to be WebP is recognised and refused. Cut files are the
// seed corpus's business (decoders_test).
TEST(WebP, AnEmptyClaimIsRefused) {
  const uint8_t fake[] = {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'L', 0, 0, 0, 0};
  EXPECT_EQ(guess_file_type(fake, sizeof fake), FileType::Webp);
  Image im;
  EXPECT_FALSE(decode_memory(fake, sizeof fake, im));
  EXPECT_TRUE(im.empty());
}

}  // namespace
}  // namespace cvl::imaging

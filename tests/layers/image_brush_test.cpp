#include "layers/image_brush.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "brush/dab_fixture.h"
#include "core/rand.h"
#include "codecs/encode.h"

namespace cvl {
namespace {

using test::Pixel;

std::string scratch_path(const char* name) {
  return (std::filesystem::temp_directory_path() / ("corvel_image_brush_" + std::to_string(getpid()) + "_" + name))
      .string();
}

// Writes an RGBA32 image whose pixel (x, y) is colour(x, y) as a PNG.
template <class F>
std::string png_file(const char* name, int w, int h, F colour) {
  std::vector<uint8_t> px(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::array<uint8_t, 4> c = colour(x, y);
      std::copy(c.begin(), c.end(), &px[(size_t(y) * w + x) * 4]);
    }
  const std::string path = scratch_path(name);
  EXPECT_TRUE(imaging::write_png(path.c_str(), {px.data(), w, h, 4, w * 4}));
  return path;
}

class ImageBrushTest : public test::DabTest {
 protected:
  void SetUp() override {
    test::DabTest::SetUp();
    reset_image_brush();
  }
  void TearDown() override {
    reset_image_brush();
    for (const std::string& p : files_) std::remove(p.c_str());
    test::DabTest::TearDown();
  }
  ImageBrush& ib() { return image_brush(); }
  static Pixel at(const uint16_t* img, int stride_px, int x, int y) {
    const uint16_t* p = img + (size_t(y) * stride_px + x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
  Pixel picture(int x, int y) { return at(ib().picture.get(), ib().width, x, y); }
  Pixel blend(int x, int y) { return at(e().blend_buffer.pixels.get(), e().brush_capacity, x, y); }
  void set_brush_size(int32_t s) { tool().brush_size = s; }
  void load(int w, int h, const std::vector<uint8_t>& rgba) {
    ASSERT_EQ(CVL_LoadImageBrushFromRGBA32(rgba.data(), w, h), 1);
  }
  std::string keep(std::string p) {
    files_.push_back(p);
    return p;
  }
  std::vector<std::string> files_;
};

TEST_F(ImageBrushTest, FillAndColourMakeBrushSizedPicturesAndKeepAlpha) {
  set_brush_size(6);
  EXPECT_EQ(CVL_FillImageBrush(255, 0, 0), 6);
  ASSERT_EQ(ib().width, 6);
  ASSERT_EQ(ib().height, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(picture(x, y), (Pixel{65535, 0, 0, 65535}));

  // A half-transparent picture of another size keeps every alpha word.
  std::vector<uint8_t> rgba(5 * 3 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 7);
  load(5, 3, rgba);
  EXPECT_EQ(CVL_ColorImageBrush(1, 128, 255), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      ASSERT_EQ(picture(x, y), (Pixel{257, 32896, 65535, uint16_t(rgba[(size_t(y) * 5 + x) * 4 + 3] << 8)}));

  // Without a picture colouring starts from an opaque brush-sized one.
  reset_image_brush();
  EXPECT_EQ(CVL_ColorImageBrush(2, 3, 4), 6);
  EXPECT_EQ(picture(5, 5), (Pixel{514, 771, 1028, 65535}));
}

// Every channel, alpha included, widens by 256; anything larger than the blend
// buffer, missing or unreadable leaves the previous picture in place.
TEST_F(ImageBrushTest, LoadsWidenAndRefuseWhatDoesNotFit) {
  make_canvas(16, 16, 256);
  const std::vector<uint8_t> rgba{1, 2, 3, 4, 250, 251, 252, 253};
  load(2, 1, rgba);
  EXPECT_EQ(picture(1, 0), (Pixel{250 << 8, 251 << 8, 252 << 8, 253 << 8}));

  const std::string small = keep(png_file("small.png", 5, 3, [](int x, int y) {
    return std::array<uint8_t, 4>{uint8_t(x * 50), uint8_t(y * 100), 7, uint8_t(128 + x)};
  }));
  ASSERT_EQ(CVL_LoadImageBrush(small.c_str()), 1);
  ASSERT_EQ(ib().width, 5);
  EXPECT_EQ(picture(4, 2), (Pixel{200 << 8, 200 << 8, 7 << 8, 132 << 8}));

  const std::string wide = keep(png_file("wide.png", 300, 4, [](int, int) { return std::array<uint8_t, 4>{}; }));
  const std::string tall = keep(png_file("tall.png", 4, 257, [](int, int) { return std::array<uint8_t, 4>{}; }));
  std::vector<uint8_t> big(257 * 4, 0);
  EXPECT_EQ(CVL_LoadImageBrush(wide.c_str()), 0);
  EXPECT_EQ(CVL_LoadImageBrush(tall.c_str()), 0);
  EXPECT_EQ(CVL_LoadImageBrush(scratch_path("missing.png").c_str()), 0);
  EXPECT_EQ(CVL_LoadImageBrushFromRGBA32(big.data(), 257, 1), 0);
  EXPECT_EQ(CVL_LoadImageBrushFromRGBA32(nullptr, 2, 2), 0);
  EXPECT_EQ(CVL_LoadImageBrushFromRGBA32(big.data(), 0, 1), 0);
  EXPECT_EQ(ib().width, 5);
  EXPECT_EQ(ib().height, 3);
  EXPECT_EQ(picture(4, 2), (Pixel{200 << 8, 200 << 8, 7 << 8, 132 << 8}));
}

TEST_F(ImageBrushTest, FramesAreChosenByPositionAlongTheStrip) {
  // Four 8 x 8 frames; frame k has red 10 * (k + 1) and its row number in green.
  const std::string strip = keep(png_file("strip.png", 32, 8, [](int x, int y) {
    return std::array<uint8_t, 4>{uint8_t(10 * (x / 8 + 1)), uint8_t(y), uint8_t(x % 8), 255};
  }));
  ASSERT_EQ(CVL_LoadImageBrushArray(strip.c_str()), 1);
  EXPECT_EQ(ib().frame_count, 4);
  ASSERT_EQ(ib().width, 8);
  ASSERT_EQ(ib().height, 8);
  struct Case {
    float x;
    int frame;  // -1: refused, the picture stays
  };
  for (const Case c : {Case{0.5f, 2}, Case{0.0f, 0}, Case{0.99f, 3}, Case{0.26f, 1}, Case{1.0f, -1}, Case{-0.3f, -1}}) {
    const Pixel before = picture(3, 5);
    EXPECT_EQ(CVL_CopyFromImageBrushArray(c.x), c.frame >= 0 ? 1 : 0) << c.x;
    const Pixel want = c.frame < 0 ? before : Pixel{uint16_t(10 * (c.frame + 1) << 8), 5 << 8, 3 << 8, 65280};
    EXPECT_EQ(picture(3, 5), want) << c.x;
  }
  // A picture filled since has another size: frames no longer fit and are not copied.
  set_brush_size(12);
  CVL_FillImageBrush(0, 0, 0);
  EXPECT_EQ(CVL_CopyFromImageBrushArray(0.5f), 0);
  const std::string tall = keep(png_file("tallstrip.png", 66, 33, [](int, int) { return std::array<uint8_t, 4>{}; }));
  EXPECT_EQ(CVL_LoadImageBrushArray(tall.c_str()), 0) << "taller than the blend buffer";
  EXPECT_EQ(ib().width, 12);
}

// Same width: copied verbatim (a shorter picture leaves clear rows); narrower brush:
// averaged down; wider: resized up. Each sizing makes a rotation stale.
TEST_F(ImageBrushTest, SizingCopiesShrinksOrGrows) {
  std::vector<uint8_t> blocks(16 * 16 * 4);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      for (int c = 0; c < 4; ++c) blocks[(size_t(y) * 16 + x) * 4 + c] = uint8_t((x / 2) * 20 + (y / 2) * 3 + c);
  load(16, 16, blocks);
  set_brush_size(8);
  EXPECT_EQ(CVL_SizeImageBrush(), 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(at(ib().sized.get(), 8, x, y), picture(2 * x, 2 * y)) << x << "," << y;

  set_brush_size(16);
  CVL_SizeImageBrush();
  EXPECT_EQ(std::vector<uint16_t>(ib().sized.get(), ib().sized.get() + 16 * 16 * 4),
            std::vector<uint16_t>(ib().picture.get(), ib().picture.get() + 16 * 16 * 4));

  std::vector<uint8_t> flat(4 * 4 * 4, 90);
  load(4, 4, flat);
  set_brush_size(12);
  CVL_SizeImageBrush();
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(at(ib().sized.get(), 12, x, y), (Pixel{90 << 8, 90 << 8, 90 << 8, 90 << 8}));

  std::vector<uint8_t> strip(12 * 5 * 4, 60);
  load(12, 5, strip);
  CVL_SizeImageBrush();
  EXPECT_EQ(at(ib().sized.get(), 12, 11, 4), (Pixel{60 << 8, 60 << 8, 60 << 8, 60 << 8}));
  EXPECT_EQ(at(ib().sized.get(), 12, 0, 5), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(at(ib().sized.get(), 12, 11, 11), (Pixel{0, 0, 0, 0}));

  EXPECT_EQ(CVL_RotateImageBrush(0), 1);
  CVL_SizeImageBrush();
  EXPECT_EQ(ib().rotation_ready, 0);
  EXPECT_EQ(CVL_CopyFromImageBrushRotate(0), 0);
}

// Strength 0 copies the sized picture; 100 (share 255) keeps 255/256 of the buffer
// and takes nothing of the picture; between, both mix by the share.
TEST_F(ImageBrushTest, MixingIntoTheBlendBufferFollowsTheStrength) {
  set_brush_size(4);
  std::vector<uint8_t> rgba(16 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(3 * i + 1);
  load(4, 4, rgba);
  auto fill_blend = [&] { std::fill_n(e().blend_buffer.pixels.get(), e().blend_buffer.pixels.size(), uint16_t{40000}); };
  struct Case {
    int32_t percent;
    int32_t share;
  };
  for (const Case c : {Case{0, 0}, Case{100, 255}, Case{50, 127}, Case{1, 2}}) {
    fill_blend();
    EXPECT_EQ(CVL_CopyFromImageBrush(c.percent), 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        for (int ch = 0; ch < 4; ++ch) {
          const uint32_t s = uint32_t(rgba[(size_t(y) * 4 + x) * 4 + ch]) << 8;
          const uint32_t want = c.share == 0 ? s : (uint32_t(c.share) * 40000 + uint32_t(255 - c.share) * s) >> 8;
          ASSERT_EQ(blend(x, y)[size_t(ch)], want) << c.percent << " at " << x << "," << y << " ch " << ch;
        }
  }
  // Pixels of the buffer outside the brush square are not touched.
  EXPECT_EQ(blend(4, 0), (Pixel{40000, 40000, 40000, 40000}));
  EXPECT_EQ(blend(0, 4), (Pixel{40000, 40000, 40000, 40000}));
}

// The rotated copy turns colour and alpha together: a half-transparent picture turned
// by a half turn lands mirrored in both axes, and each turn starts afresh.
TEST_F(ImageBrushTest, RotationTurnsAlphaWithColour) {
  constexpr int s = 10;
  std::vector<uint8_t> rgba(s * s * 4);
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      uint8_t* p = &rgba[(size_t(y) * s + x) * 4];
      p[0] = uint8_t(20 * x + 5), p[1] = uint8_t(20 * y + 5), p[2] = 77;
      p[3] = x < 3 ? 0 : uint8_t(100 + 15 * y);
    }
  load(s, s, rgba);
  set_brush_size(s);
  CVL_SizeImageBrush();
  ASSERT_EQ(CVL_RotateImageBrush(180), 1);
  const uint8_t* r = ib().rotated.get();
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      const uint8_t* from = &rgba[(size_t(s - 1 - y) * s + (s - 1 - x)) * 4];
      const uint8_t* got = r + (size_t(y) * s + x) * 4;
      ASSERT_EQ(got[3], from[3]) << x << "," << y;
      if (from[3] == 0) continue;
      for (int c = 0; c < 3; ++c) ASSERT_EQ(got[c], from[c]) << x << "," << y << " ch " << c;
    }
  // A quarter turn of the same picture: the transparent columns become rows.
  ASSERT_EQ(CVL_RotateImageBrush(90), 1);  // 270 degrees counter-clockwise
  int transparent_rows = 0;
  for (int y = 0; y < s; ++y) {
    bool all_clear = true;
    for (int x = 0; x < s; ++x) all_clear &= r[(size_t(y) * s + x) * 4 + 3] == 0;
    transparent_rows += all_clear;
  }
  EXPECT_EQ(transparent_rows, 3);
  // No turn at all gives the unrotated copy back, whatever the last turn left.
  ASSERT_EQ(CVL_RotateImageBrush(360), 1);
  EXPECT_EQ(std::vector<uint8_t>(r, r + rgba.size()), rgba);

  ASSERT_EQ(CVL_RotateImageBrush(180), 1);
  EXPECT_EQ(CVL_CopyFromImageBrushRotate(0), s);
  for (int ch = 0; ch < 4; ++ch) EXPECT_EQ(blend(0, 0)[size_t(ch)], r[size_t(ch)] * 256) << ch;
  const Pixel before = blend(9, 9);
  EXPECT_EQ(CVL_CopyFromImageBrushRotate(100), s);  // share 255: c = 0, keeps (255 B) >> 8
  for (int ch = 0; ch < 4; ++ch) EXPECT_EQ(blend(9, 9)[size_t(ch)], (255 * before[size_t(ch)]) >> 8) << ch;
}

TEST_F(ImageBrushTest, CaptureTakesTheBlendBufferCorner) {
  set_brush_size(5);
  crt_srand(4);
  for (size_t i = 0; i < e().blend_buffer.pixels.size(); ++i) e().blend_buffer.pixels[i] = uint16_t(crt_rand() * 2);
  EXPECT_EQ(CVL_CopyToImageBrush(), 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(picture(x, y), blend(x, y));
  CVL_DeleteImage();
  EXPECT_EQ(CVL_CopyToImageBrush(), 5);
  EXPECT_EQ(picture(4, 4), (Pixel{0, 0, 0, 0}));
}

// The saved file is an 8-bit RGBA PNG of the narrowed picture at 2834 pixels per metre,
// read back here with libpng.
TEST_F(ImageBrushTest, SavesAnRgbaPngWithItsPhysicalSize) {
  const std::string path = keep(scratch_path("saved.png"));
  EXPECT_EQ(CVL_SaveImageBrush(path.c_str()), 0) << "no picture yet";
  EXPECT_FALSE(std::filesystem::exists(path));
  std::vector<uint8_t> rgba(3 * 2 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(40 * i + 3);
  load(3, 2, rgba);
  ib().picture[0] |= 0xFF;  // low bytes are dropped
  ASSERT_EQ(CVL_SaveImageBrush(path.c_str()), 1);

  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&img, path.c_str()));
  EXPECT_EQ(img.width, 3u);
  EXPECT_EQ(img.height, 2u);
  img.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> back(PNG_IMAGE_SIZE(img));
  ASSERT_TRUE(png_image_finish_read(&img, nullptr, back.data(), 0, nullptr));
  EXPECT_EQ(back, rgba);

  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(f);
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_read_info(png, info);
  png_uint_32 rx = 0, ry = 0;
  int unit = -1;
  EXPECT_EQ(png_get_pHYs(png, info, &rx, &ry, &unit), PNG_INFO_pHYs);
  EXPECT_EQ(rx, 2834u);
  EXPECT_EQ(ry, 2834u);
  EXPECT_EQ(unit, PNG_RESOLUTION_METER);
  EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_RGB_ALPHA);
  EXPECT_EQ(png_get_bit_depth(png, info), 8);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
}

// With image brush mode on, a blended dab takes its colour from the picture and its
// coverage from the picture's alpha: the opaque left half paints, the clear right half
// leaves the layer as it was.
TEST_F(ImageBrushTest, DabsInImageBrushModeShowThePicture) {
  paint_on_slot(2, {0, 0, 0, 0});
  fill_tip(65535);
  CVL_SetBlendStrength(256);
  CVL_SetImageBrushMode(1);
  std::vector<uint8_t> rgba(10 * 10 * 4, 0);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 5; ++x) {
      uint8_t* p = &rgba[(size_t(y) * 10 + x) * 4];
      p[0] = 200, p[1] = uint8_t(20 * y), p[2] = 10, p[3] = 255;
    }
  load(10, 10, rgba);
  ASSERT_EQ(CVL_CopyFromImageBrush(0), 10);
  CVL_DrawDabGrit(8, 6, 0, 0, 0);  // the footprint's corner is (3, 1)
  const Layer& l = e().slot(2);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const Pixel p = px(l, 3 + x, 1 + y);
      if (x < 5) {
        EXPECT_EQ(p[0] >> 8, 200) << x << "," << y;
        EXPECT_EQ(p[1] >> 8, 20 * y) << x << "," << y;
        EXPECT_GT(p[3], 65000) << x << "," << y;
      } else {
        EXPECT_LT(p[3], 256) << x << "," << y;
      }
    }
  CVL_SetImageBrushMode(0);
}

}  // namespace
}  // namespace cvl

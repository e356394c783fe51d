// Compressed movies: each compressor this build offers, chosen through the host's
// compression entry, gives an AVI that FFmpeg plays back frame for frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "codecs/encode.h"
#include "codecs/independent_decoder.h"
#include "corvel/corvel.h"
#include "io/tool_output.h"
#include "platform/avi_file.h"
#include "platform/posix/movie_encoder.h"

namespace cvl {
namespace {

constexpr int kFrames = 10;

// Frame i: smooth gradients that move from frame to frame, as a painting replay does.
imaging::Image frame_picture(int i, int width, int height) {
  imaging::Image im;
  im.width = width, im.height = height, im.channels = 3;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      im.pixels.insert(im.pixels.end(), {uint8_t(x * 6 + i * 5), uint8_t(y * 8 + 20), uint8_t(120 + i * 9 - x * 2)});
  return im;
}

uint32_t g_handler = 0;
int32_t choose(void*, uint32_t* handler, int32_t* quality) {
  *handler = g_handler;
  *quality = 0;  // the codec's default
  return 1;
}

struct Codec {
  uint32_t handler;
  const char* ffmpeg_name;
  // Differences per channel from the source: the mean and the largest. Lossless is
  // exact; JPEG at its default quality stays within a level on average, H.264 (colour
  // at half resolution on a 32 x 24 picture of colour gradients) within a few.
  double mean_bound;
  int max_bound;
};

// Even sizes, and odd ones (H.264 then keeps colour at full resolution).
class MovieCodecs : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(MovieCodecs, TenFramesInEachOfferedCodecPlayBackWithTheirSizePeriodAndPixels) {
  CORVEL_SKIP_WITHOUT_OUTSIDE_TOOLS();
  const auto [kWidth, kHeight] = GetParam();
  const Codec codecs[] = {{platform::fourcc('F', 'F', 'V', '1'), "ffv1", 0, 0},
                          {platform::fourcc('M', 'J', 'P', 'G'), "mjpeg", 1.5, 8},
                          {platform::fourcc('H', '2', '6', '4'), "h264", 5, 24}};
  test::ScratchDir dir;
  std::string source;
  std::vector<std::string> bitmaps;
  for (int i = 0; i < kFrames; ++i) {
    const imaging::Image im = frame_picture(i, kWidth, kHeight);
    source.append(im.pixels.begin(), im.pixels.end());
    bitmaps.push_back(dir.path("frame" + std::to_string(i) + ".bmp"));
    imaging::Image copy = im;
    ASSERT_TRUE(imaging::write_bmp(bitmaps.back().c_str(), copy.view()));
  }
  int offered = 0;
  for (const Codec& c : codecs) {
    SCOPED_TRACE(c.ffmpeg_name);
    if (!platform::movie_encoder_handler(c.handler)) continue;
    ++offered;
    g_handler = c.handler;
    CVL_HostCallbacks table{};
    table.size = sizeof table;
    table.choose_compression = choose;
    CVL_SetHostCallbacks(&table);
    const std::string avi = dir.path(std::string(c.ffmpeg_name) + std::to_string(kWidth) + ".avi");
    ASSERT_NE(CVL_CreateAVI(avi.c_str(), 100), nullptr);
    for (const std::string& bmp : bitmaps) EXPECT_EQ(CVL_WriteAVI(bmp.c_str()), 1);
    EXPECT_EQ(CVL_CloseAVI(), 0);
    CVL_SetHostCallbacks(nullptr);

    const auto p = test::tool_fields(
        test::tool_output("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                          "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of default=nw=1 '" + avi + "'"),
        '=');
    EXPECT_EQ(p.at("codec_name"), c.ffmpeg_name);
    EXPECT_EQ(p.at("width"), std::to_string(kWidth));
    EXPECT_EQ(p.at("height"), std::to_string(kHeight));
    EXPECT_EQ(p.at("r_frame_rate"), "10/1");
    EXPECT_EQ(p.at("nb_read_frames"), std::to_string(kFrames));
    const std::string decoded = test::tool_output("ffmpeg -v error -i '" + avi + "' -f rawvideo -pix_fmt rgb24 -");
    ASSERT_EQ(decoded.size(), source.size());
    double total = 0;
    int worst = 0;
    for (size_t i = 0; i < source.size(); ++i) {
      const int d = std::abs(int(uint8_t(decoded[i])) - int(uint8_t(source[i])));
      total += d;
      worst = std::max(worst, d);
    }
    EXPECT_LE(total / double(source.size()), c.mean_bound) << "worst " << worst;
    EXPECT_LE(worst, c.max_bound) << "mean " << total / double(source.size());
  }
  // Debian's FFmpeg offers at least the JPEG and the lossless one.
  EXPECT_GE(offered, 2);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MovieCodecs, testing::Values(std::pair{32, 24}, std::pair{31, 23}));

TEST(MovieCodecHandlers, FoldCaseAndAliasesAndRefuseTheUnknown) {
  using platform::fourcc;
  EXPECT_EQ(platform::movie_encoder_handler(fourcc('m', 'j', 'p', 'g')), platform::movie_encoder_handler(fourcc('M', 'J', 'P', 'G')));
  EXPECT_EQ(platform::movie_encoder_handler(fourcc('x', '2', '6', '4')), platform::movie_encoder_handler(fourcc('H', '2', '6', '4')));
  EXPECT_EQ(platform::movie_encoder_handler(fourcc('X', 'Y', 'Z', 'W')), 0u);
  EXPECT_EQ(platform::movie_encoder_handler(0), 0u);
}

}  // namespace
}  // namespace cvl

#include "io/movie.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corvel/corvel.h"
#include "codecs/encode.h"
#include "codecs/independent_decoder.h"
#include "io/tool_output.h"

namespace cvl {
namespace {

using test::ScratchDir;

// Frame i of a 7 x 5 movie (odd width: rows are padded in the file).
imaging::Image frame_picture(int i, int w = 7, int h = 5) {
  imaging::Image im;
  im.width = w, im.height = h, im.channels = 3;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) im.pixels.insert(im.pixels.end(), {uint8_t(x * 30 + i), uint8_t(y * 50), uint8_t(i * 20 + 3)});
  return im;
}

class Movie : public testing::Test {
 protected:
  void TearDown() override {
    CVL_CloseAVI();
    CVL_SetHostCallbacks(nullptr);
  }
  std::string bmp(int i, int w = 7, int h = 5) {
    const std::string path = dir_.path("frame" + std::to_string(i) + "_" + std::to_string(w) + ".bmp");
    imaging::Image im = frame_picture(i, w, h);
    EXPECT_TRUE(imaging::write_bmp(path.c_str(), im.view()));
    return path;
  }
  std::map<std::string, std::string> probe(const std::string& avi) {
    return test::tool_fields(test::tool_output("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                               "stream=codec_type,width,height,r_frame_rate,nb_frames,nb_read_frames "
                                               "-of default=nw=1 '" + avi + "'"),
                             '=');
  }
  // Every frame decoded by ffmpeg as packed RGB.
  std::string decoded(const std::string& avi) {
    return test::tool_output("ffmpeg -v error -i '" + avi + "' -f rawvideo -pix_fmt rgb24 -");
  }

  ScratchDir dir_;
};

TEST_F(Movie, TenFramesAtPeriod100PlayAtTenPerSecondWithTheirPixels) {
  CORVEL_SKIP_WITHOUT_OUTSIDE_TOOLS();
  const std::string avi = dir_.path("ten.avi");
  ASSERT_NE(CVL_CreateAVI(avi.c_str(), 100), nullptr);
  std::string expected;
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(CVL_WriteAVI(bmp(i).c_str()), 1);
    const imaging::Image im = frame_picture(i);
    expected.append(im.pixels.begin(), im.pixels.end());
  }
  EXPECT_EQ(CVL_CloseAVI(), 0);
  auto p = probe(avi);
  EXPECT_EQ(p["codec_type"], "video");
  EXPECT_EQ(p["width"], "7");
  EXPECT_EQ(p["height"], "5");
  EXPECT_EQ(p["r_frame_rate"], "10/1");
  EXPECT_EQ(p["nb_frames"], "10");
  EXPECT_EQ(p["nb_read_frames"], "10");
  EXPECT_TRUE(decoded(avi) == expected);
}

TEST_F(Movie, FramesThatCannotBeWrittenAreSkippedAndTheMovieGoesOn) {
  CORVEL_SKIP_WITHOUT_OUTSIDE_TOOLS();
  const std::string avi = dir_.path("skips.avi");
  EXPECT_EQ(CVL_WriteAVI(bmp(0).c_str()), 0);  // no movie yet
  ASSERT_NE(CVL_CreateAVI(avi.c_str(), 40), nullptr);
  imaging::Image png = frame_picture(1);
  const std::string png_path = dir_.path("frame.png");
  ASSERT_TRUE(imaging::write_png(png_path.c_str(), png.view()));
  EXPECT_EQ(CVL_WriteAVI(dir_.path("missing.bmp").c_str()), 0);
  EXPECT_EQ(CVL_WriteAVI(png_path.c_str()), 0);  // not a bitmap file
  EXPECT_EQ(CVL_WriteAVI(bmp(2).c_str()), 1);
  EXPECT_EQ(CVL_WriteAVI(bmp(3, 9, 5).c_str()), 1);  // another size: left out
  EXPECT_EQ(CVL_WriteAVI(bmp(4).c_str()), 1);
  EXPECT_EQ(CVL_CloseAVI(), 0);
  auto p = probe(avi);
  EXPECT_EQ(p["nb_read_frames"], "2");
  EXPECT_EQ(p["r_frame_rate"], "25/1");
  const imaging::Image a = frame_picture(2), b = frame_picture(4);
  EXPECT_TRUE(decoded(avi) == std::string(a.pixels.begin(), a.pixels.end()) + std::string(b.pixels.begin(), b.pixels.end()));
}

struct Choice {
  int calls = 0;
  int32_t answer = 0;
  uint32_t handler = 0;
};
int32_t choose(void* user, uint32_t* handler, int32_t*) {
  auto* c = static_cast<Choice*>(user);
  ++c->calls;
  *handler = c->handler;
  return c->answer;
}

TEST_F(Movie, ACancelledOrUnavailableCompressorLeavesAValidMovieWithoutFrames) {
  CORVEL_SKIP_WITHOUT_OUTSIDE_TOOLS();
  const uint32_t unknown = platform::fourcc('X', 'Y', 'Z', 'W');
  for (Choice choice : {Choice{0, 0, 0}, Choice{0, 1, unknown}}) {
    CVL_HostCallbacks table{};
    table.size = sizeof table;
    table.user_data = &choice;
    table.choose_compression = choose;
    CVL_SetHostCallbacks(&table);
    const std::string avi = dir_.path("cancel.avi");
    ASSERT_NE(CVL_CreateAVI(avi.c_str(), 100), nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(CVL_WriteAVI(bmp(i).c_str()), 1);
    EXPECT_EQ(CVL_CloseAVI(), 0);
    EXPECT_EQ(choice.calls, 1);  // asked once, on the first frame
    auto p = probe(avi);
    EXPECT_EQ(p["codec_type"], "video") << choice.handler;
    EXPECT_EQ(p["width"], "7");
    EXPECT_TRUE(decoded(avi).empty());
  }
}

TEST_F(Movie, ASecondMovieCompletesTheFirst) {
  CORVEL_SKIP_WITHOUT_OUTSIDE_TOOLS();
  const std::string first = dir_.path("first.avi"), second = dir_.path("second.avi");
  ASSERT_NE(CVL_CreateAVI(first.c_str(), 100), nullptr);
  CVL_WriteAVI(bmp(1).c_str());
  ASSERT_NE(CVL_CreateAVI(second.c_str(), 100), nullptr);
  CVL_WriteAVI(bmp(2).c_str());
  CVL_WriteAVI(bmp(3).c_str());
  CVL_CloseAVI();
  EXPECT_EQ(probe(first)["nb_read_frames"], "1");
  EXPECT_EQ(probe(second)["nb_read_frames"], "2");
  EXPECT_EQ(CVL_CloseAVI(), 0);
  EXPECT_EQ(CVL_CreateAVI(dir_.path("no/such/dir.avi").c_str(), 100), nullptr);
}

}  // namespace
}  // namespace cvl

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "imagescript/imagescript.h"
#include "codecs/independent_decoder.h"

namespace cvl::imagescript {
namespace {

using imaging::Image;

const uint8_t* px(const Image& im, int x, int y) { return &im.pixels[(size_t(y) * im.width + x) * 4]; }

// The example of the README, kept here so that the documented script keeps working.
const char* kReadmeExample = R"(imagescript 1
# a soft white dot with a little grain, turned by 30 degrees
size 64 48
seed 7
fill 0 0 0 0
linear 0 0 64 0 40 40 90 0 40 40 90 60
circle 32 24 14 255 255 255 255 6
noise 12
effect 51 30 100
)";

TEST(Script, HeaderGivesVersionCommandsSeedAndSize) {
  test::ScratchDir dir;
  const std::string path = dir.path("dot.isl");
  std::ofstream(path) << kReadmeExample;
  int32_t header[8];
  std::fill(header, header + 8, -1);
  ASSERT_TRUE(read_script_header(path.c_str(), header));
  const int32_t expected[8] = {1, 5, 7, 0, 64, 48, 0, 0};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(header[i], expected[i]) << i;

  Image im;
  ASSERT_EQ(render_script(path.c_str(), im), ScriptResult::Ok);
  EXPECT_EQ(im.width, 64);
  EXPECT_EQ(im.height, 48);
  EXPECT_EQ(px(im, 32, 24)[3], 255);  // the dot
  EXPECT_EQ(px(im, 0, 0)[3], 0);      // a corner left uncovered by the turn
  Image again;
  ASSERT_EQ(render_script(path.c_str(), again), ScriptResult::Ok);
  EXPECT_EQ(again.pixels, im.pixels);  // the seed makes the grain repeatable
}

TEST(Script, DrawingCommandsGiveExactPixels) {
  Image im;
  ASSERT_EQ(render_script_text("imagescript 1\nsize 4 2\nfill 10 20 30 255\n"
                               "linear 0 0 4 0 0 0 0 255 200 200 200 255\n",
                               im),
            ScriptResult::Ok);
  // Pixel centres 0.5 .. 3.5 along a 4-pixel ramp from 0 to 200.
  const uint8_t ramp[] = {25, 75, 125, 175};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(px(im, x, 1)[0], ramp[x]) << x;

  ASSERT_EQ(render_script_text("imagescript 1\nsize 9 9\ncircle 4.5 4.5 3 255 0 0 255\n", im), ScriptResult::Ok);
  EXPECT_EQ(px(im, 4, 4)[0], 255);
  EXPECT_EQ(px(im, 4, 4)[3], 255);
  EXPECT_EQ(px(im, 0, 0)[3], 0);

  ASSERT_EQ(render_script_text("imagescript 1\nsize 5 5\nradial 2.5 2.5 2.5 255 255 255 255 0 0 0 255\n", im),
            ScriptResult::Ok);
  EXPECT_EQ(px(im, 2, 2)[0], 255);
  EXPECT_EQ(px(im, 0, 2)[0], 51);  // centre distance 2 of 2.5
}

TEST(Script, OtherFilesAreNotScriptsAndBadScriptsFail) {
  struct Case {
    const char* text;
    ScriptResult result;
  } cases[] = {
      {"\x89PNG\r\n\x1a\n binary", ScriptResult::NotAScript},
      {"", ScriptResult::NotAScript},
      {"imagescript 2\nsize 4 4\n", ScriptResult::NotAScript},
      {"imagescript 1\n", ScriptResult::Failed},                     // no size
      {"imagescript 1\nsize 0 4\n", ScriptResult::Failed},           // empty
      {"imagescript 1\nsize 100000 4\n", ScriptResult::Failed},      // too large
      {"imagescript 1\nsize 4 4\nsparkle 1\n", ScriptResult::Failed},  // unknown command
      {"imagescript 1\nsize 4 4\nfill 1 2 3\n", ScriptResult::Failed},  // missing value
      {"imagescript 1\nsize 4 4\nfill 1 2 x 4\n", ScriptResult::Failed},
      {"imagescript 1\nsize 4 4\neffect 77 1\n", ScriptResult::Failed},  // no such effect
      {"imagescript 1\nfill 1 2 3 4\nsize 4 4\n", ScriptResult::Failed},  // size after drawing
  };
  for (const Case& c : cases) {
    Image im;
    EXPECT_EQ(render_script_text(c.text, im), c.result) << c.text;
    EXPECT_TRUE(im.empty());
  }
  Image im;
  EXPECT_EQ(render_script("/nonexistent/tip.isl", im), ScriptResult::NotAScript);
  int32_t header[8];
  EXPECT_FALSE(read_script_header("/nonexistent/tip.isl", header));
}

}  // namespace
}  // namespace cvl::imagescript

#include "script/paint_script.h"

#include <fstream>
#include <iterator>

#include "script/lua_fixture.h"

namespace cvl::test {
namespace {

class PaintScript : public LuaFilterFixture {
 protected:
  void SetUp() override {
    LuaFilterFixture::SetUp();
    std::filesystem::create_directories(dir_ / "scripts");
    const std::string start = dir_.string() + "/";
    CVL_SetStartDir(start.c_str());
  }
  void TearDown() override {
    CVL_SetStartDir("");
    LuaFilterFixture::TearDown();
  }

  std::string recorded() {
    std::ifstream in(dir_ / "scripts" / "luapaint.srp", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

// Joins lines as they stand in the file.
std::string crlf(std::initializer_list<const char*> lines) {
  std::string s;
  for (const char* line : lines) (s += line) += "\r\n";
  return s;
}

const std::string kHeader = crlf({"1554", "Description", "1", " ", "RandomSeed"});

TEST_F(PaintScript, OpenAndCloseWriteTheHeaderAndTheEndLine) {
  run("paint_open(12345) paint_close()");
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(recorded(), kHeader + crlf({"12345", "ScriptEnd"}));
#ifdef _WIN32  // the script's own part of the path uses the system's separator
  EXPECT_EQ(paint_script_path(engine()), dir_.string() + "/scripts\\luapaint.srp");
#else
  EXPECT_EQ(paint_script_path(engine()), dir_.string() + "/scripts/luapaint.srp");
#endif
}

TEST_F(PaintScript, StrokesWriteTheirSampleBlocks) {
  run("paint_open('s') paint_stroke_start(10, 20) paint_stroke_pos(1.5, 2, 0.75) paint_stroke_stop() paint_close()");
  EXPECT_EQ(recorded(), kHeader + crlf({"s",   "DrawStart",   "10",       "20", "-1",  "SmoothPlot2", "0",       "0",
                                        "0",   "1",           "0",        "SmoothPlot2", "1.5", "2",    "0.75",    "0",
                                        "0",   "SmoothPlot2", "0",        "0",  "0",   "0",           "1",       "DrawStop",
                                        "1",   "ScriptEnd"}));
}

TEST_F(PaintScript, EveryCommandWritesItsKeywordAndValues) {
  struct Case {
    const char* call;
    std::string lines;
  };
  const Case cases[] = {
      {"paint_brush_color(1, 0.5, -0.1)", crlf({"SetColor", "255", "127", "-25"})},
      {"paint_brush_color('1', 1e-9, -1e-9)", crlf({"SetColor", "255", "0", "0"})},
      {"paint_select_brush('Oil', 3, 'x y')", crlf({"SelectBrush", "Oil", "3", "x y"})},
      {"paint_brush_size(1/3) paint_brush_density(100) paint_brush_opacity(-2)",
       crlf({"SetBrushSize", "0.33333333333333", "SetBrushDensity", "100", "SetBrushOpacity", "-2"})},
      {"paint_set_color_banks('b', 1, 0, 0, 0, 1, 0, 0, 0, 1, 0.5, 0.5, 0.5)",
       crlf({"SetColorBanks", "b", "255", "0", "0", "0", "255", "0", "0", "0", "255", "127", "127", "127"})},
      {"paint_line(1, 2, 3, 4e20)", crlf({"Line2", "1", "2", "3", "4e+20"})},
      {"paint_spline(1, 2, 3, 4, 5, 6, 7, 8)", crlf({"Spline", "1", "2", "3", "4", "5", "6", "7", "8"})},
      {"paint_dab(0.1, 0.2, 0.3)", crlf({"Dab", "0.1", "0.2", "0.3"})},
      {"paint_filter('Blur', 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20)",
       crlf({"Filter", "Blur", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16", "17",
             "18", "19", "20"})},
  };
  for (const Case& c : cases) {
    boxes.clear();
    run(std::string("paint_open(1) ") + c.call);
    EXPECT_TRUE(boxes.empty()) << c.call;
    EXPECT_EQ(recorded(), kHeader + crlf({"1"}) + c.lines) << c.call;
  }
}

TEST_F(PaintScript, NothingIsWrittenWhileNoScriptIsOpen) {
  run("paint_dab(1, 2, 3) paint_close() paint_open(7) paint_close() paint_dab(1, 2, 3) paint_close() "
      "paint_dab(nil, {}, true)");
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(recorded(), kHeader + crlf({"7", "ScriptEnd"}));
}

TEST_F(PaintScript, TheEndOfARunClosesTheFileWithoutTheEndLine) {
  run("paint_open(9) paint_dab(1, 2, 3)");
  EXPECT_EQ(recorded(), kHeader + crlf({"9", "Dab", "1", "2", "3"}));
  EXPECT_FALSE(paint_script_is_open());
  run("paint_open(9) paint_dab(1, 2, 3) error('late')");
  EXPECT_FALSE(paint_script_is_open());
  EXPECT_EQ(recorded(), kHeader + crlf({"9", "Dab", "1", "2", "3"}));
}

TEST_F(PaintScript, ASecondOpenStartsTheFileAgain) {
  run("paint_open(1) paint_dab(1, 2, 3) paint_open(2) paint_close()");
  EXPECT_EQ(recorded(), kHeader + crlf({"2", "ScriptEnd"}));
}

TEST_F(PaintScript, ValuesOfOtherTypesAreScriptErrorsAndWriteNothing) {
  for (const char* call : {"paint_dab(1, nil, 3)", "paint_line(1, 2, 3, {})", "paint_brush_color(1, 'red', 0)",
                           "paint_filter(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19)"}) {
    boxes.clear();
    run(std::string("paint_open(1) ") + call);
    ASSERT_EQ(boxes.size(), 1u) << call;
    EXPECT_EQ(boxes[0].rfind("Lua Script Error: ", 0), 0u) << boxes[0];
    EXPECT_EQ(recorded(), kHeader + crlf({"1"})) << call;
  }
  boxes.clear();
  run("paint_open(true)");
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(PaintScript, AMissingFolderLeavesTheRecorderSilent) {
  std::filesystem::remove_all(dir_ / "scripts");
  run("paint_open(1) paint_dab(1, 2, 3) paint_close()");
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "scripts"));
}

}  // namespace
}  // namespace cvl::test

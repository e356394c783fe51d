#include "script/paint_script_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cvl {
namespace {

// Records what the reader hands on, one string per command or problem.
struct Log final : PaintScriptSink {
  std::vector<std::string> items;
  void seed(std::string_view s) override { items.push_back("seed " + std::string(s)); }
  void command(const PaintCommand& c) override {
    std::string s = std::to_string(c.line) + " " + paint_op_name(c.op);
    for (std::string_view v : c.values) (s += " ") += v;
    items.push_back(s);
  }
  void problem(int line, const std::string& what) override { items.push_back("!" + std::to_string(line) + " " + what); }
};

std::vector<std::string> read(const std::string& text) {
  Log log;
  read_paint_script(text, log);
  return log.items;
}

const std::string kHead = "1554\r\nDescription\r\n1\r\n \r\nRandomSeed\r\n5\r\n";

TEST(PaintScriptReader, SplitsCommandsAndReportsWhatItCannotPlace) {
  struct Case {
    std::string body;
    std::vector<std::string> expected;
  } cases[] = {
      {"Dab\r\n1\r\n2\r\n0.5\r\nScriptEnd\r\n", {"seed 5", "7 Dab 1 2 0.5"}},
      {"DrawStop\n1\nSetColor\n1\n2\n3\n", {"seed 5", "7 DrawStop 1", "9 SetColor 1 2 3"}},
      // An unknown command and its values are skipped to the next keyword.
      {"Smear\n1\n2\nDab\n1\n2\n3\n", {"seed 5", "!7 unknown command \"Smear\" (skipped to line 10)", "10 Dab 1 2 3"}},
      // A block that lost lines restarts at the keyword found among its values.
      {"Line2\n1\n2\nDab\n1\n2\n3\n", {"seed 5", "!7 Line2 has 2 of its 4 values", "10 Dab 1 2 3"}},
      {"Spline\n1\n2\n", {"seed 5", "!7 Spline is cut short by the end of the file"}},
      {"ScriptEnd\nDab\n", {"seed 5", "!8 lines after ScriptEnd are ignored"}},
      // Names are text: a brush may be called like a command.
      {"SelectBrush\nDab\n1\n2\n", {"seed 5", "7 SelectBrush Dab 1 2"}},
  };
  for (const Case& c : cases) EXPECT_EQ(read(kHead + c.body), c.expected) << c.body;
  EXPECT_EQ(read("Dab\n1\n2\n3\n"),
            (std::vector<std::string>{"!1 no paint-script header; reading commands from the first line", "1 Dab 1 2 3"}));
  EXPECT_TRUE(read("").size() == 1);
}

TEST(PaintScriptReader, NumbersMustBeWholeFiniteValues) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {{"3", true, 3},      {"-0.25", true, -0.25}, {"4e+20", true, 4e20}, {"", false, 0},
               {"1x", false, 0},    {" 1", true, 1},        {"nan", false, 0},     {"inf", false, 0},
               {"1e999", false, 0}, {"12345678901234567890123456789012345678901234567890123456789012345", false, 0}};
  for (const Case& c : cases) {
    double v = -7;
    EXPECT_EQ(paint_number(c.text, v), c.ok) << c.text;
    if (c.ok) EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
}

}  // namespace
}  // namespace cvl

#include "script/lua_filter.h"

#include <array>
#include <climits>
#include <cstring>

#include "script/lua_fixture.h"

namespace cvl::test {
namespace {

// Scripts report through one message box captioned "out".
const std::string kOut =
    "local function out(...) local t = {} for i = 1, select('#', ...) do t[i] = tostring((select(i, ...))) end "
    "message_box(table.concat(t, ' '), 'out') end\n";

class LuaFilter : public LuaFilterFixture {};

TEST_F(LuaFilter, AScriptThatChangesNothingNarrowsTheLayerToEightBits) {
  const Pixel before = layer_pixel(3, 2);
  run("local x = 1\n");
  EXPECT_TRUE(boxes.empty());
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const Pixel p = layer_pixel(x, y);
      for (int c = 0; c < 4; ++c) EXPECT_EQ(p[c] & 0xFF, 0) << x << "," << y;
    }
  const Pixel after = layer_pixel(3, 2);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(after[c], before[c] & 0xFF00);
}

TEST_F(LuaFilter, GettersReadTheSourceUntilSingleBufferIsOn) {
  // Pixel (0, 0) is R 0, G 0, B 0x80, A 0xFF.
  EXPECT_EQ(output_of(kOut + "set_rgb(0, 0, 1, 0, 0) out(get_rgb(0, 0))"), "0 0 0.50196078431373");
  EXPECT_EQ(output_of(kOut + "single_buffer(true) set_rgb(0, 0, 1, 0, 0) out(get_rgb(0, 0))"), "1 0 0");
  EXPECT_EQ(output_of(kOut + "single_buffer(1) single_buffer(nil) set_rgb(0, 1, 1, 0, 0) out(get_rgb(0, 1))"),
            "0 0.15686274509804 0.50196078431373");
}

TEST_F(LuaFilter, SingleBufferRunsCopyTheirResultOverTheSource) {
  run("single_buffer(true) set_alpha(1, 0, 0)");
  EXPECT_EQ(engine().ipl.src32[4 + 3], 0);
  run("set_alpha(2, 0, 0)");
  EXPECT_EQ(engine().ipl.src32[8 + 3], 255);  // a two-buffer run leaves the source alone
}

struct Case {
  const char* script;
  const char* expected;
};

TEST_F(LuaFilter, FunctionsAndGlobalsAnswerAsDocumented) {
  // Pixel (4, 3): R 120, G 120, B 128 before narrowing to bytes. A grey pixel is set first where needed.
  const Case cases[] = {
      {"out(width, height, bound_x0, bound_y0, bound_x1, bound_y1)", "8 6 0 0 7 5"},
      {"out(MERGE_NORMAL, MERGE_EXCLUSIO, MERGE_TEXTURIZE3, MERGE_EXCLUSION)", "0 7 19 nil"},
      {"single_buffer(true) set_rgb(1, 1, 128/255, 128/255, 128/255) out(get_hsv(1, 1))", "-1 0 0.50196078431373"},
      {"single_buffer(true) set_rgb(1, 1, 128/255, 128/255, 128/255) out(get_hsl(1, 1))", "0 0 0.50196078431373"},
      {"out(get_alpha(-0.5, 0) == get_alpha(0, 0), get_alpha(-1, 0), get_alpha(0, -1))", "true 0 0"},
      {"out(get_rgba(8, 0))", "0 0 0 0"},
      {"out(get_rgba(0, 6))", "0 0 0 0"},
      {"out(get_rgba(1e300, 0))", "0 0 0 0"},
      {"out(get_rgba(0/0, 0))", "0 0 0 0"},
      {"out(get_value(4, 3) == (120 * 0.00392156862745098 + 120 * 0.00392156862745098 + 128 * 0.00392156862745098) "
       "* 0.3333333333333333)",
       "true"},
      {"out(get_rgb('1', '2'))", "0.11764705882353 0.31372549019608 0.50196078431373"},
      {"out(get_rgb(nil, {}))", "0 0 0.50196078431373"},
      {"out(bit_shfr(-8, 1), bit_shfl(1, 33), bit_shfl(1, 31), bit_shfr(-1, 40))", "-4 2 -2147483648 -1"},
      {"out(bit_not(0), bit_and(-1, 255), bit_or(2^32 + 1, 2), bit_xor(5, 3), bit_and(-2.7, 7))", "-1 255 3 6 6"},
      {"out(bit_or(2^31, 0), bit_not(2^53), bit_and(1/0, -1))", "-2147483648 -1 0"},
      {"out(get_mask(0, 0), get_mask(-1, 0))", "1 0"},
      {"set_mask(0, 0, 0.5) set_mask(1, 0, 1.5) set_mask(2, 0, -0.1) set_mask(-1, 0, 0) "
       "out(get_mask(0, 0) * 65535, get_mask(1, 0) * 65535, get_mask(2, 0) * 65535)",
       "32767 32766 58983"},
      {"out(sliderVal1, sliderVal2, sliderVal6, styleVal1, styleVal2)", "0.5 -0.001 1 1 -2147483647"},
      {"out(flagVal1, flagVal2, flagVal3, flagVal6)", "true false true false"},
      {"out(type(io), type(os.remove), type(debug), type(require))", "table function table function"},
      {"local a, b, c = get_color() local d, e, f = get_color1() out(a, b, c, d, e, f, get_color4())", "1 0.50196078431373 0 0 1 0 0 0 0"},
      {"out(progress(0.5), select('#', progress(1)))", "nil 0"},
      {"out(is_escape(), is_escape())", "1 1"},
  };
  CVL_SetColor(255, 128, 0);
  CVL_SetColorBanks(0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  LuaFilterParams params;
  params.sliders[0] = 500;
  params.sliders[1] = -1;
  params.sliders[5] = 1000;
  params.styles[1] = INT32_MIN;
  params.flags[0] = 1;
  params.flags[1] = 0x100;  // only the low byte counts
  params.flags[2] = -1;
  for (const Case& c : cases) {
    escape = 0;
    if (std::strstr(c.script, "is_escape")) escape = 1;
    EXPECT_EQ(output_of(kOut + c.script, params), c.expected) << c.script;
  }
}

struct SetterCase {
  const char* script;
  std::array<int, 4> bytes;  // expected bytes of pixel (1, 1); -1 keeps the original
};

TEST_F(LuaFilter, SettersConvertAndClampAsDocumented) {
  // Pixel (1, 1) starts as R 30, G 40, B 128, A 255.
  const SetterCase cases[] = {
      {"set_value(1, 1, 1.5)", {255, 255, 255, -1}},
      {"set_value(1, 1, -0.2)", {0, 0, 0, -1}},
      {"set_value(1, 1, 0/0)", {0, 0, 0, -1}},
      {"set_rgb(1, 1, 0.999, 0.5, 0.004)", {254, 127, 1, -1}},
      {"set_rgb(1.9, 1.9, 0, 0, 0)", {0, 0, 0, -1}},
      {"set_rgb(2, 1, 0, 0, 0)", {-1, -1, -1, -1}},
      {"set_alpha(1, 1, 0.25)", {-1, -1, -1, 63}},
      {"set_rgba(1, 1, 0.1, 0.2, 0.3, 0.4)", {25, 51, 76, 102}},
      {"set_hsv(1, 1, 360, 1, 1)", {255, 0, 4, -1}},
      {"set_hsv(1, 1, 359, 1, 1)", {255, 0, 4, -1}},
      {"set_hsv(1, 1, -20, 2, 0.5)", {127, 0, 0, -1}},
      {"set_hsl(1, 1, 120, 1, 0.5)", {0, 255, 0, -1}},
      {"set_hsl(1, 1, 400, 0, 9)", {255, 255, 255, -1}},
      {"set_lab(1, 1, 100, 0, 0)", {255, 255, 254, -1}},
      {"set_lab(1, 1, 500, -900, 900)", {0, 255, 0, -1}},
      {"set_cmyk(1, 1, 0, 1, 0.5, 0)", {255, 0, 127, -1}},
      {"set_cmyk(1, 1, -1, 2, 0, 0)", {254, 1, 255, -1}},
      {"set_rgb(1, 1, get_rgb(1, 2))", {30, 80, 128, -1}},
  };
  const int original[4] = {30, 40, 128, 255};
  for (const SetterCase& c : cases) {
    SetUp();
    run(c.script);
    EXPECT_TRUE(boxes.empty()) << c.script << ": " << (boxes.empty() ? "" : boxes[0]);
    const Pixel p = layer_pixel(1, 1);
    for (int ch = 0; ch < 4; ++ch) {
      const int want = c.bytes[static_cast<size_t>(ch)] < 0 ? original[ch] : c.bytes[static_cast<size_t>(ch)];
      EXPECT_EQ(p[ch], want << 8) << c.script << " channel " << ch;
    }
    TearDown();
  }
}

TEST_F(LuaFilter, ErrorsAreShownOnceAndSkipTheWriteBack) {
  const Pixel before = layer_pixel(2, 2);
  run("set_rgb(2, 2, 1, 1, 1) this is not lua");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind("Lua Script Error: ", 0), 0u) << boxes[0];
  EXPECT_EQ(layer_pixel(2, 2), before);

  boxes.clear();
  run("set_rgb(2, 2, 1, 1, 1) error('stop here')");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("stop here"), std::string::npos) << boxes[0];
  EXPECT_EQ(layer_pixel(2, 2), before);

  boxes.clear();
  run("set_rgb(2, 2, 1, 1, 1) flush() set_rgb(3, 2, 1, 1, 1) error({})");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Lua Script Error: (error object is not a string)");
  EXPECT_EQ(layer_pixel(2, 2), (Pixel{65280, 65280, 65280, 65280}));
  EXPECT_EQ(layer_pixel(3, 2)[0], 90 << 8);  // the flush narrowed it; the later write was dropped
}

TEST_F(LuaFilter, LongAndMissingFileErrorsAreReportedInFull) {
  run("error(string.rep('x', 5000))");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].size(), std::string("Lua Script Error: ").size() + 2047);
  boxes.clear();
  const std::string missing = (dir_ / "absent.lua").string();
  CVL_LuaFilterRun(missing.c_str(), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("cannot open"), std::string::npos) << boxes[0];
  boxes.clear();
  CVL_LuaFilterRun(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(LuaFilter, WithoutBothWorkingImagesNothingHappens) {
  const Pixel before = layer_pixel(0, 0);
  CVL_IPLFreeDstBuffer32();
  run("error('never runs')");
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(layer_pixel(0, 0), before);
  CVL_IPLAllocDstBuffer32();
  make_canvas(kW + 1, kH, 16);  // a resized canvas outgrows the working images
  run("error('never runs')");
  EXPECT_TRUE(boxes.empty());
}

// The pixel's high bytes as a script prints them.
std::string as_script_sees(const Pixel& p) {
  std::string s;
  for (int c = 0; c < 3; ++c) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.14g", (p[c] >> 8) * 0.00392156862745098);
    if (c) s += ' ';
    s += buf;
  }
  return s;
}

TEST_F(LuaFilter, MergeBlendsIntoTheLayerAtOnceAndRefreshesTheSource) {
  const std::string fill = "for y = 0, height - 1 do for x = 0, width - 1 do set_rgba(x, y, 0, 0, 1, 1) end end\n";
  run(kOut + fill + "merge(MERGE_NORMAL, 1) out(get_rgb(5, 5)) error('after')");
  ASSERT_EQ(boxes.size(), 2u);
  const Pixel merged = layer_pixel(5, 5);
  EXPECT_LT(merged[0], 512);
  EXPECT_GE(merged[2], 65024);
  EXPECT_EQ(boxes[0], std::string("out: ") + as_script_sees(merged));
  EXPECT_NE(boxes[1].find("after"), std::string::npos);

  // Opacities beyond 0..1 and unknown modes stay within the compositor's range.
  for (const char* call : {"merge(MERGE_NORMAL, -5)", "merge(MERGE_NORMAL, 1e12)", "merge(99, 1)", "merge(-3, 0.5)"}) {
    SetUp();
    run(kOut + fill + call + " out(get_rgb(5, 5)) error('keep the merged layer')");
    ASSERT_EQ(boxes.size(), 2u) << call;
    EXPECT_EQ(boxes[0], std::string("out: ") + as_script_sees(layer_pixel(5, 5))) << call;
    TearDown();
  }
}

TEST_F(LuaFilter, MessagesEscapeAndDebugOutputGoThroughTheHost) {
  escape = 1;
  run("message_box('text', 'caption') message_box(12) output_debug_string('dbg') output_debug_string(nil)");
  EXPECT_EQ(boxes, (std::vector<std::string>{"caption: text", ": 12"}));
  EXPECT_EQ(debug_text, "dbg");
}

}  // namespace
}  // namespace cvl::test

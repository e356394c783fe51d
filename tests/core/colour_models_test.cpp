#include "core/colour_models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "corvel/corvel.h"

namespace cvl {
namespace {

// Reference rows from an implementation outside the engine (Python's colorsys
// and the textbook XYZ / Lab formulas): kind -> rows of numbers.
using ReferenceTable = std::map<std::string, std::vector<std::vector<double>>>;

ReferenceTable load_reference() {
  ReferenceTable table;
  const std::string command = "/usr/bin/python3 " CORVEL_TEST_DATA "/colour_reference.py";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return table;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    std::istringstream in(line);
    std::string kind;
    in >> kind;
    std::vector<double> row;
    for (double v; in >> v;) row.push_back(v);
    table[kind].push_back(row);
  }
  pclose(pipe);
  return table;
}

const ReferenceTable& reference() {
  static const ReferenceTable table = load_reference();
  return table;
}

const std::vector<std::vector<double>>& rows(const char* kind) {
  static const std::vector<std::vector<double>> none;
  auto it = reference().find(kind);
  return it == reference().end() ? none : it->second;
}

#define REQUIRE_REFERENCE(kind) \
  if (rows(kind).empty()) GTEST_SKIP() << "no reference rows (python3 not available)"

// The byte range that "times 255, truncate, clamp" allows for a reference value
// computed along a different floating-point path.
void expect_byte(int byte, double unit, const std::string& where) {
  auto to_byte = [](double s) { return std::trunc(std::fmin(255.0, std::fmax(0.0, s))); };
  const double lo = to_byte(unit * 255.0 - 1e-7), hi = to_byte(unit * 255.0 + 1e-7);
  EXPECT_TRUE(byte >= lo && byte <= hi) << where << ": got " << byte << ", reference " << unit * 255.0;
}

void expect_bytes(uint8_t r, uint8_t g, uint8_t b, const std::vector<double>& row, size_t at) {
  std::ostringstream where;
  for (size_t i = 0; i < at; ++i) where << row[i] << ' ';
  expect_byte(r, row[at], where.str() + "red");
  expect_byte(g, row[at + 1], where.str() + "green");
  expect_byte(b, row[at + 2], where.str() + "blue");
}

double hue_distance(double a, double b) {
  const double d = std::fabs(a - b);
  return std::fmin(d, 360.0 - d);
}

TEST(ColourModels, RgbToHsvAndHslAgreeWithReferenceOnGrid) {
  REQUIRE_REFERENCE("rgb_hsv");
  for (const auto& row : rows("rgb_hsv")) {
    const int r = int(row[0]), g = int(row[1]), b = int(row[2]);
    double h = 0, s = -7, v = 0;
    RgbToHsv(r, g, b, h, s, v);
    EXPECT_NEAR(v, row[5], 1e-12);
    if (r == g && g == b) {
      EXPECT_EQ(h, kAchromaticHue);
      EXPECT_EQ(s, -7);  // a grey leaves the saturation unwritten
      continue;
    }
    EXPECT_NEAR(hue_distance(h, row[3]), 0.0, 1e-9) << r << ' ' << g << ' ' << b;
    EXPECT_GE(h, 0.0);
    EXPECT_LT(h, 360.0);
    EXPECT_NEAR(s, row[4], 1e-12);
  }
  for (const auto& row : rows("rgb_hsl")) {
    double h = -7, s = -7, l = -7;
    RgbToHsl(int(row[0]), int(row[1]), int(row[2]), h, s, l);
    EXPECT_NEAR(hue_distance(h, row[3]), 0.0, 1e-9) << row[0] << ' ' << row[1] << ' ' << row[2];
    EXPECT_NEAR(s, row[4], 1e-12);
    EXPECT_NEAR(l, row[5], 1e-12);
  }
}

// Three-in, three-out conversions: bytes checked with the truncation allowance,
// doubles to 1e-9.
using ToBytes = void (*)(double, double, double, uint8_t&, uint8_t&, uint8_t&);
void expect_bytes_match(const char* kind, ToBytes convert) {
  for (const auto& row : rows(kind)) {
    uint8_t r, g, b;
    convert(row[0], row[1], row[2], r, g, b);
    expect_bytes(r, g, b, row, 3);
  }
}

template <class Convert>
void expect_doubles_match(const char* kind, Convert convert) {
  for (const auto& row : rows(kind)) {
    double out[3];
    convert(row, out[0], out[1], out[2]);
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(out[i], row[3 + i], 1e-9) << kind << ' ' << row[0] << ' ' << row[1] << ' ' << row[2];
  }
}

TEST(ColourModels, HsvAndHslToRgbTruncateReferenceOnGrid) {
  REQUIRE_REFERENCE("hsv_rgb");
  expect_bytes_match("hsv_rgb", HsvToRgb);
  expect_bytes_match("hsl_rgb", HslToRgb);
}

TEST(ColourModels, XyzAndLabAgreeWithTextbookFormulasOnGrid) {
  REQUIRE_REFERENCE("rgb_xyz");
  using Row = std::vector<double>;
  expect_doubles_match("rgb_xyz", [](const Row& r, double& x, double& y, double& z) {
    RgbToXyz(int(r[0]), int(r[1]), int(r[2]), x, y, z);
  });
  expect_doubles_match("xyz_lab",
                       [](const Row& r, double& l, double& a, double& b) { XyzToLab(r[0], r[1], r[2], l, a, b); });
  expect_doubles_match("lab_xyz",
                       [](const Row& r, double& x, double& y, double& z) { LabToXyz(r[0], r[1], r[2], x, y, z); });
  expect_bytes_match("xyz_rgb", XyzToRgb);
  expect_bytes_match("lab_rgb", LabToRgb);
}

TEST(ColourModels, CmykAgreesWithReferenceOnGrid) {
  REQUIRE_REFERENCE("cmy_cmyk");
  for (const auto& row : rows("cmy_cmyk")) {
    double c = row[0], m = row[1], y = row[2], k = -1;
    CmyToCmyk(c, m, y, k);
    EXPECT_NEAR(c, row[3], 1e-12);
    EXPECT_NEAR(m, row[4], 1e-12);
    EXPECT_NEAR(y, row[5], 1e-12);
    EXPECT_NEAR(k, row[6], 1e-12);
  }
  for (const auto& row : rows("cmyk_rgb")) {
    uint8_t r, g, b;
    CmykToRgb(row[0], row[1], row[2], row[3], r, g, b);
    expect_bytes(r, g, b, row, 4);
  }
}

TEST(ColourModels, GreysAreMarkedInHsvAndZeroInHsl) {
  for (int grey : {0, 1, 128, 255}) {
    double h = 5, s = 0.25, v = 0;
    RgbToHsv(grey, grey, grey, h, s, v);
    EXPECT_EQ(h, -1.0);
    EXPECT_EQ(s, 0.25);
    double hl = 5, sl = 5, l = 0;
    RgbToHsl(grey, grey, grey, hl, sl, l);
    EXPECT_EQ(hl, 0.0);
    EXPECT_EQ(sl, 0.0);
  }
}

TEST(ColourModels, Hue360IsHue0) {
  for (double s : {0.3, 1.0}) {
    uint8_t a[3], b[3];
    HsvToRgb(360.0, s, 0.8, a[0], a[1], a[2]);
    HsvToRgb(0.0, s, 0.8, b[0], b[1], b[2]);
    EXPECT_EQ(std::vector<int>(a, a + 3), std::vector<int>(b, b + 3));
  }
  uint8_t r, g, b;
  HsvToRgb(0.0, 1.0, 1.0, r, g, b);
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{255, 0, 0}));
  HsvToRgb(720.0 + 120.0, 1.0, 1.0, r, g, b);  // folded onto the circle, not left unset
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{0, 255, 0}));
}

TEST(ColourModels, WhiteIsTheD65ReferenceAndBlackIsPureKey) {
  double x, y, z;
  RgbToXyz(255, 255, 255, x, y, z);
  EXPECT_NEAR(x, 95.05, 0.005);
  EXPECT_NEAR(y, 100.0, 1e-9);
  EXPECT_NEAR(z, 108.9, 0.005);
  double l, a, bb;
  XyzToLab(x, y, z, l, a, bb);
  EXPECT_NEAR(l, 100.0, 1e-9);
  EXPECT_NEAR(a, 0.0, 0.02);  // the four-digit matrix lands a little off the white point
  EXPECT_NEAR(bb, 0.0, 0.02);
  double c = 1, m = 1, ye = 1, k = 0;
  CmyToCmyk(c, m, ye, k);
  EXPECT_EQ(k, 1.0);
  EXPECT_EQ(c + m + ye, 0.0);
}

TEST(ColourModels, OutOfGamutXyzClampsEachChannel) {
  struct Case {
    double x, y, z;
    int r, g, b;
  } cases[] = {
      {200, 200, 200, 255, 255, 255},  // far beyond white
      {0, 80, 0, 0, 255, 0},           // pure Y: red and blue go negative, green above 1
      {-50, -50, -50, 0, 0, 0},
  };
  for (const Case& c : cases) {
    uint8_t r, g, b;
    XyzToRgb(c.x, c.y, c.z, r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{c.r, c.g, c.b})) << c.x << ' ' << c.y << ' ' << c.z;
  }
  double x, y, z;
  LabToXyz(0, 500, 500, x, y, z);  // far outside: negative components become 0
  EXPECT_EQ(z, 0.0);
  EXPECT_GT(x, 0.0);
}

TEST(ColourAdjust, HsvKeepsGreysGreyWhileHslTintsThem) {
  uint8_t hsv[8] = {128, 128, 128, 77, 200, 40, 40, 9};
  EXPECT_EQ(CVL_ProcessBuffer_HSVAdjust(hsv, 2, 1, 0, 100, 0), 2);
  EXPECT_EQ(hsv[0], 128);
  EXPECT_EQ(hsv[1], 128);
  EXPECT_EQ(hsv[2], 128);
  EXPECT_EQ(hsv[3], 77);
  EXPECT_EQ(hsv[4], 200);  // red saturated fully
  EXPECT_EQ(hsv[5], 0);
  EXPECT_EQ(hsv[7], 9);

  uint8_t hsl[4] = {128, 128, 128, 77};
  EXPECT_EQ(CVL_ProcessBuffer_HSLAdjust(hsl, 1, 1, 0, 50, 0), 1);
  EXPECT_GT(hsl[0], 128);
  EXPECT_LT(hsl[1], 128);
  EXPECT_EQ(hsl[1], hsl[2]);
  EXPECT_EQ(hsl[3], 77);
}

TEST(ColourAdjust, HueShiftTurnsAndValueClamps) {
  struct Case {
    const char* what;
    bool hsv;
    int hue, sat, val;
    uint8_t in[3], out[3];
  } cases[] = {
      {"red +120 is green", true, 120, 0, 0, {255, 0, 0}, {0, 255, 0}},
      {"red -120 wraps to blue", true, -120, 0, 0, {255, 0, 0}, {0, 0, 255}},
      {"blue +240 wraps to green", true, 240, 0, 0, {0, 0, 255}, {0, 255, 0}},
      {"value +100 saturates", true, 0, 0, 100, {100, 50, 50}, {255, 127, 127}},
      {"value -100 is black", true, 0, 0, -100, {100, 50, 50}, {0, 0, 0}},
      {"grey lightness +100 is white", false, 0, 0, 100, {60, 60, 60}, {255, 255, 255}},
      {"HSL red +120 is green", false, 120, 0, 0, {255, 0, 0}, {0, 255, 0}},
      {"HSL saturation -100 is grey", false, 0, -100, 0, {200, 100, 0}, {100, 100, 100}},
  };
  for (const Case& c : cases) {
    uint8_t px[4] = {c.in[0], c.in[1], c.in[2], 1};
    if (c.hsv) {
      CVL_ProcessBuffer_HSVAdjust(px, 1, 1, c.hue, c.sat, c.val);
    } else {
      CVL_ProcessBuffer_HSLAdjust(px, 1, 1, c.hue, c.sat, c.val);
    }
    EXPECT_EQ((std::vector<int>{px[0], px[1], px[2], px[3]}), (std::vector<int>{c.out[0], c.out[1], c.out[2], 1}))
        << c.what;
  }
}

}  // namespace
}  // namespace cvl

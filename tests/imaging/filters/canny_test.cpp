#include "imaging/filters/canny.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvl::imaging {
namespace {

constexpr int kW = 32, kH = 24;

std::vector<uint8_t> edges_of(const std::vector<uint8_t>& grey, CannySettings settings = {}) {
  std::vector<uint8_t> out(grey.size(), 7);
  EXPECT_TRUE(canny_edges(grey.data(), kW, kW, kH, settings, out.data(), kW));
  return out;
}

TEST(Canny, StepEdgeBecomesAThinLine) {
  struct Case {
    const char* name;
    bool (*bright)(int x, int y);
  };
  const Case cases[] = {{"vertical", [](int x, int) { return x >= 16; }},
                        {"horizontal", [](int, int y) { return y >= 12; }},
                        {"diagonal", [](int x, int y) { return x > y + 4; }}};
  for (const Case& c : cases) {
    std::vector<uint8_t> grey(kW * kH);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) grey[y * kW + x] = c.bright(x, y) ? 200 : 40;
    const std::vector<uint8_t> out = edges_of(grey);
    int total = 0;
    for (int y = 2; y < kH - 2; ++y)
      for (int x = 2; x < kW - 2; ++x) {
        const uint8_t v = out[y * kW + x];
        ASSERT_TRUE(v == 0 || v == 255) << c.name;
        if (!v) continue;
        ++total;
        // An edge pixel lies on the step: a neighbour across it is on the other side.
        bool on_step = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) on_step |= c.bright(x, y) != c.bright(x + dx, y + dy);
        EXPECT_TRUE(on_step) << c.name << " at " << x << "," << y;
      }
    // One pixel across: about one edge pixel per row (or column) of the step.
    const int length = c.name[0] == 'h' ? kW - 4 : kH - 4;
    EXPECT_GE(total, length - 1) << c.name;
    EXPECT_LE(total, length + 1) << c.name << ": the line is not thin";
  }
}

TEST(Canny, ThresholdsAndHysteresisDecideWhichStepsAreEdges) {
  // A vertical step at x = 16 whose height falls from 100 at the top by 4 a row,
  // measured unsmoothed so that a step of h has a gradient of about 4h.
  std::vector<uint8_t> grey(kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) grey[y * kW + x] = uint8_t(x < 16 ? 50 : 150 - 4 * y);
  const auto rows_with_edges = [&](const std::vector<uint8_t>& out, int from, int to) {
    int rows = 0;
    for (int y = from; y < to; ++y) {
      bool any = false;
      for (int x = 12; x < 20; ++x) any |= out[y * kW + x] != 0;
      rows += any;
    }
    return rows;
  };
  // Steps of 30 and more start the edge (rows up to 17); a continuation down to
  // steps of 10 carries it through rows 18 to 21, down to 25 stops it by row 20.
  const std::vector<uint8_t> joined = edges_of(grey, {0, 10, 30});
  EXPECT_EQ(rows_with_edges(joined, 2, 22), 20);
  const std::vector<uint8_t> apart = edges_of(grey, {0, 25, 30});
  EXPECT_EQ(rows_with_edges(apart, 2, 17), 15);
  EXPECT_EQ(rows_with_edges(apart, 20, 24), 0);
  // Nothing reaches a start threshold above the strongest step.
  EXPECT_EQ(rows_with_edges(edges_of(grey, {0, 10, 120}), 0, kH), 0);
  // A uniform plane has no edges at all.
  EXPECT_EQ(edges_of(std::vector<uint8_t>(kW * kH, 90)), std::vector<uint8_t>(kW * kH, 0));
}

}  // namespace
}  // namespace cvl::imaging

#include <gtest/gtest.h>

#include "effects/inhouse_fixture.h"

namespace cvl {
namespace {

using test::Px;

class InhousePasses : public test::InhouseTest {
 protected:
  // A one-row or one-column canvas of greys, opaque.
  void line(bool row, std::initializer_list<int> greys) {
    const int n = int(greys.size());
    canvas(row ? n : 1, row ? 1 : n);
    std::vector<Px> px;
    for (int g : greys) px.push_back({g, g, g, 255});
    source(px);
  }
  std::vector<int> reds(bool row) {
    std::vector<int> out;
    for (int i = 0; i < (row ? w_ : h_); ++i) out.push_back(row ? dst(i, 0)[0] : dst(0, i)[0]);
    return out;
  }
};

TEST_F(InhousePasses, ChangesTravelAlongEachSweepInItsOrder) {
  // Worked by hand through the four sweeps of each direction: a row never sees
  // the vertical sweeps, a column never sees the horizontal ones, and the third
  // sweep's scan order differs between the two.
  struct Case {
    const char* effect;
    bool row;
    std::initializer_list<int> sliders;
    std::vector<int> expected;
  } cases[] = {
      {"Value Blur", true, {500, 500}, {145, 134, 124, 118}},
      {"Value Blur", false, {500, 500}, {150, 138, 120, 113}},
      {"Value Blur", true, {500, 1000}, {200, 175, 150, 131}},  // a brighter neighbour keeps itself
      {"Noise Reduction", true, {1000, 1000}, {145, 134, 124, 118}},
      {"Noise Reduction", true, {1000, 0}, {200, 100, 100, 100}},  // nothing is below a zero threshold
  };
  for (const Case& c : cases) {
    line(c.row, {200, 100, 100, 100});
    ASSERT_EQ(run(c.effect, c.sliders), 1);
    EXPECT_EQ(reds(c.row), c.expected) << c.effect << " " << c.row;
    EXPECT_EQ(dst(0, 0)[3], 255);
  }
}

TEST_F(InhousePasses, AntiAliasReadsTheLineBeyondTheCanvasAsBlack) {
  // On a single row the third pixel is always off the canvas (luminance 0), so
  // only the "brighter neighbour" rule can fire, and only in the sweeps that
  // have a darker pixel behind them.
  line(true, {100, 200, 200, 200});
  ASSERT_EQ(run("Anti Alias", {0, 500, 0, 1000}), 1);
  EXPECT_EQ(reds(true), (std::vector<int>{100, 125, 150, 168}));
  line(true, {100, 200, 200, 200});
  ASSERT_EQ(run("Anti Alias", {500, 500, 0, 0}), 1);
  EXPECT_EQ(reds(true), (std::vector<int>{100, 200, 200, 200}));
}

TEST_F(InhousePasses, NoiseReductionRgbBlendsEachChannelAgainstItsOwnThreshold) {
  canvas(4, 1);
  source({{200, 50, 10, 10}, {100, 60, 200, 20}, {100, 50, 10, 30}, {100, 60, 200, 40}});
  // Red: weight 0.5, any difference; green: threshold 0; blue: threshold 0.
  ASSERT_EQ(run("Noise Reduction RGB", {1000, 1000, 1000, 0, 1000, 0}), 1);
  const int red[4] = {145, 134, 124, 118};
  const int green[4] = {50, 60, 50, 60}, blue[4] = {10, 200, 10, 200};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst(x, 0), (Px{red[x], green[x], blue[x], 10 * (x + 1)})) << x;
}

}  // namespace
}  // namespace cvl

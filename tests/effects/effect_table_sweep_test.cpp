// Every built effect, run through the host's call on one varied picture with its
// sliders at mid-range: it must change the picture (a row that silently does
// nothing looks built but is not), give the same result again from the same seed,
// and keep alpha where its frame promises to.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "effects/effect_sweep_fixture.h"

namespace cvl {
namespace {

using test::EffectSweep;
using test::kSizedInPixels;
using test::listed;

TEST_F(EffectSweep, EveryBuiltRowChangesTheImageAndRepeatsFromTheSameSeed) {
  std::vector<std::string> unchanged, unrepeatable, alpha_lost;
  for (const EffectRow& row : effect_rows()) {
    if (!row.run) continue;
    // Some tone rows are neutral exactly at 50; a row must act at 50 or at 70.
    std::vector<uint16_t> before, first;
    const bool sized_in_pixels = listed(row.name, kSizedInPixels);
    int32_t slider = 500;
    for (int32_t s : sized_in_pixels ? std::vector<int32_t>{50} : std::vector<int32_t>{500, 700}) {
      slider = s;
      first = run(row, s, &before);
      if (first != before) break;
    }
    const std::vector<uint16_t> second = run(row, slider);
    if (row.frame != Frame::Mask && first == before) unchanged.push_back(row.name);
    if (first != second) unrepeatable.push_back(row.name);
    if (row.frame == Frame::RGB24 || row.frame == Frame::G24)
      for (size_t i = 3; i < first.size(); i += 4)
        if (first[i] != before[i]) {
          alpha_lost.push_back(row.name);
          break;
        }
  }
  auto list = [](const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += "\n  " + n;
    return out;
  };
  EXPECT_TRUE(unchanged.empty()) << "left the picture as it was:" << list(unchanged);
  EXPECT_TRUE(unrepeatable.empty()) << "differ between two runs from one seed:" << list(unrepeatable);
  EXPECT_TRUE(alpha_lost.empty()) << "changed alpha in a frame that keeps it:" << list(alpha_lost);
}

TEST_F(EffectSweep, PixelSizedRowsDrawOnAPictureOfUsualSize) {
  constexpr int kUsualW = 320, kUsualH = 240;
  for (const char* name : kSizedInPixels) {
    const EffectRow* row = find_effect_row(name);
    ASSERT_NE(row, nullptr) << name;
    std::vector<uint16_t> before;
    const std::vector<uint16_t> first = run(*row, 500, &before, kUsualW, kUsualH, 7);
    EXPECT_NE(first, before) << name;
    EXPECT_EQ(run(*row, 500, nullptr, kUsualW, kUsualH, 7), first) << name;
    // Carpet folds by position alone; the two generators scatter from the seed.
    if (row->frame == Frame::I) {
      EXPECT_NE(run(*row, 500, nullptr, kUsualW, kUsualH, 8), first) << name;
    }
  }
}

}  // namespace
}  // namespace cvl

// Every effect gives the same words whatever the number of threads: bands of rows
// or strips of columns on other threads must not change a value, nor the order in
// which numbers are drawn from the 15-bit generator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/effect_sweep_fixture.h"
#include "imaging/parallel_bands.h"

namespace cvl {
namespace {

// An odd size, so that bands and strips end inside a row of blocks and a line of
// pixels rather than on a round boundary.
constexpr int kW = 150, kH = 101;

class EffectThreads : public test::EffectSweep {
 protected:
  void SetUp() override {
    test::EffectSweep::SetUp();
    // Small pictures split into bands too: a band takes as little as a row.
    imaging::set_band_work_floor(1);
  }
  void TearDown() override {
    imaging::set_band_work_floor(0);
    CVL_SetThreadCount(0);
    test::EffectSweep::TearDown();
  }
};

TEST_F(EffectThreads, EveryEffectGivesTheSameWordsOnOneTwoAndThreeThreads) {
  std::vector<std::string> differ;
  for (const EffectRow& row : effect_rows()) {
    if (!row.run) continue;
    const int32_t slider = test::listed(row.name, test::kSizedInPixels) ? 50 : 500;
    CVL_SetThreadCount(1);
    const std::vector<uint16_t> one = run(row, slider, nullptr, kW, kH, 3);
    for (int threads : {2, 3}) {
      CVL_SetThreadCount(threads);
      if (run(row, slider, nullptr, kW, kH, 3) != one) {
        differ.push_back(std::string(row.name) + " at " + std::to_string(threads) + " threads");
        break;
      }
    }
  }
  std::string list;
  for (const std::string& d : differ) list += "\n  " + d;
  EXPECT_TRUE(differ.empty()) << "differ from one thread:" << list;
}

TEST_F(EffectThreads, ThreadCountIsTheSettingOrTheHardware) {
  CVL_SetThreadCount(3);
  EXPECT_EQ(CVL_GetThreadCount(), 3);
  CVL_SetThreadCount(1000);
  EXPECT_EQ(CVL_GetThreadCount(), imaging::kMaxThreads);
  CVL_SetLastError(nullptr);
  CVL_SetThreadCount(-2);
  EXPECT_EQ(CVL_GetThreadCount(), imaging::kMaxThreads) << "a negative count leaves the setting";
  EXPECT_NE(std::string(CVL_GetLastError()).find("SetThreadCount: the count -2 is negative"), std::string::npos);
  CVL_SetThreadCount(0);
  EXPECT_GE(CVL_GetThreadCount(), 1);
}

}  // namespace
}  // namespace cvl

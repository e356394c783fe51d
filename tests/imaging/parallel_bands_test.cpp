#include "imaging/parallel_bands.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace cvl::imaging {
namespace {

struct BandSettings : ::testing::Test {
  void TearDown() override {
    set_thread_count(0);
    set_band_work_floor(0);
  }
};

TEST_F(BandSettings, BandsCoverEveryRowOnceWhateverTheCountAndSize) {
  set_band_work_floor(1);
  for (int threads : {1, 2, 3, 7}) {
    set_thread_count(threads);
    for (int rows : {1, 2, 3, 5, 64, 1001}) {
      std::vector<std::atomic<int>> seen(static_cast<size_t>(rows));
      std::atomic<int> bands{0};
      for_each_band(rows, 1, [&](int first, int end) {
        ASSERT_LT(first, end);
        ++bands;
        for (int y = first; y < end; ++y) ++seen[static_cast<size_t>(y)];
      });
      for (int y = 0; y < rows; ++y) ASSERT_EQ(seen[static_cast<size_t>(y)], 1) << rows << " rows, row " << y;
      EXPECT_EQ(bands, std::min(threads, rows)) << rows << " rows on " << threads;
    }
  }
}

TEST_F(BandSettings, RunsCoverEveryItemOnceIncludingAShortLastRun) {
  set_band_work_floor(1);
  set_thread_count(3);
  for (size_t count : {size_t{0}, size_t{1}, size_t{4095}, size_t{4096}, size_t{4097}, size_t{3 * 4096 + 5}}) {
    std::vector<std::atomic<int>> seen(count);
    for_each_run(count, 1, [&](size_t first, size_t end) {
      ASSERT_LE(end, count);
      for (size_t i = first; i < end; ++i) ++seen[i];
    });
    for (size_t i = 0; i < count; ++i) ASSERT_EQ(seen[i], 1) << count << " items, item " << i;
  }
}

TEST_F(BandSettings, SmallWorkAndNestedLoopsStayOnTheCallingThread) {
  set_thread_count(4);
  const auto caller = std::this_thread::get_id();
  int calls = 0;
  for_each_band(100, 10, [&](int first, int end) {  // far below the floor
    ++calls;
    EXPECT_EQ(std::this_thread::get_id(), caller);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(end, 100);
  });
  EXPECT_EQ(calls, 1);

  set_band_work_floor(1);
  std::atomic<int> inner_bands{0};
  for_each_band(4, 1, [&](int, int) {
    EXPECT_TRUE(inside_band());
    for_each_band(100, 1 << 20, [&](int first, int end) {
      ++inner_bands;
      EXPECT_EQ(end - first, 100) << "a loop inside a band is not split again";
    });
  });
  EXPECT_EQ(inner_bands, 4);
  EXPECT_FALSE(inside_band());
}

TEST_F(BandSettings, AnExceptionInABandReachesTheCallerAfterEveryBandHasEnded) {
  set_thread_count(3);
  set_band_work_floor(1);
  std::atomic<int> finished{0};
  EXPECT_THROW(for_each_band(3, 1,
                             [&](int first, int) {
                               if (first == 1) throw std::runtime_error("band failed");
                               std::this_thread::sleep_for(std::chrono::milliseconds(20));
                               ++finished;
                             }),
               std::runtime_error);
  EXPECT_EQ(finished, 2);
}

TEST_F(BandSettings, CountsAreClampedAndZeroMeansTheHardware) {
  set_thread_count(-5);
  EXPECT_EQ(thread_count_setting(), 0);
  EXPECT_GE(thread_count(), 1);
  set_thread_count(500);
  EXPECT_EQ(thread_count(), kMaxThreads);
  set_thread_count(1);
  EXPECT_EQ(thread_count(), 1);
}

}  // namespace
}  // namespace cvl::imaging

// The whole-layer operations that share their rows out among threads give the
// same words on one, two and three threads: resampling with every filter, quarter
// turns, merges of every layer mode, the view at each scale, and the flattened page.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "effects/effect_sweep_fixture.h"
#include "imaging/parallel_bands.h"
#include "layers/mix_mode_names.h"

namespace cvl {
namespace {

constexpr int kW = 150, kH = 101;

class ThreadedOperations : public test::CanvasTest {
 protected:
  void SetUp() override {
    imaging::set_band_work_floor(1);
    fresh_canvas();
  }
  void TearDown() override {
    imaging::set_band_work_floor(0);
    CVL_SetThreadCount(0);
    test::CanvasTest::TearDown();
  }
  // Background, a varied picture, and a half-transparent layer over it in `mode`.
  void fresh_canvas(const char* mode = "Multiply") {
    make_canvas(kW, kH, 32);
    test::give_slot_pixels(1, 0xFF00, 0xF000, 0xE000, 0xFF00);
    test::give_slot_pixels(2, 0, 0, 0, 0);
    test::give_slot_pixels(3, 0x3000, 0x9000, 0xC000, 0x8000);
    test::paint_varied(e().slot(2));
    for (int slot : {1, 2, 3}) CVL_SetLayerOptions(slot, 1, 0, 100, slot == 3 ? mode : "Normal");
    CVL_SetLayer(2);
  }
  std::vector<uint16_t> all_layers() {
    std::vector<uint16_t> words;
    for (int slot : {1, 2, 3}) {
      const std::vector<uint16_t> w = test::layer_words(e().slot(slot));
      words.insert(words.end(), w.begin(), w.end());
    }
    return words;
  }
  // Runs `op` from a fresh canvas at each thread count; the words it returns must agree.
  void expect_same_on_every_count(const std::string& what, const std::function<std::vector<uint8_t>()>& op) {
    std::vector<uint8_t> one;
    for (int threads : {1, 2, 3}) {
      CVL_SetThreadCount(threads);
      const std::vector<uint8_t> got = op();
      if (threads == 1) {
        EXPECT_FALSE(got.empty()) << what << " gave nothing";
        one = got;
      } else {
        EXPECT_TRUE(got == one) << what << " differs at " << threads << " threads";
      }
    }
  }
  static std::vector<uint8_t> bytes_of(const std::vector<uint16_t>& words) {
    const auto* p = reinterpret_cast<const uint8_t*>(words.data());
    return {p, p + words.size() * 2};
  }
};

TEST_F(ThreadedOperations, ResizeWithEveryFilterAndQuarterTurns) {
  for (int32_t k = 0; const char* filter = CVL_IPLResizeFilterName(k); ++k)
    for (auto [w, h] : {std::pair{97, 233}, std::pair{301, 40}})
      expect_same_on_every_count(std::string("resize with ") + filter, [&, w = w, h = h] {
        fresh_canvas();
        CVL_IPLResize(w, h, filter);
        return bytes_of(all_layers());
      });
  for (auto turn : {&CVL_IPLRotateLeft, &CVL_IPLRotateRight})
    expect_same_on_every_count("quarter turn", [&] {
      fresh_canvas();
      turn();
      return bytes_of(all_layers());
    });
}

TEST_F(ThreadedOperations, MergesInEveryLayerMode) {
  for (int32_t mode = 0; mode < kMixModeCount; ++mode) {
    const char* name = mode_name(mode);
    if (!*name) continue;
    expect_same_on_every_count(std::string("merge in ") + name, [&] {
      fresh_canvas(name);
      std::vector<uint16_t> flat(size_t(kW) * kH * 4);
      CVL_Merge(flat.data());
      CVL_MergeLayer(3, 2);
      std::vector<uint16_t> words = test::layer_words(e().slot(2));
      words.insert(words.end(), flat.begin(), flat.end());
      return bytes_of(words);
    });
  }
}

TEST_F(ThreadedOperations, ViewAtEveryScaleAndThePage) {
  for (auto [sx, sy] : {std::pair{1, 1}, std::pair{1, 3}, std::pair{3, 1}})
    expect_same_on_every_count("view " + std::to_string(sx) + ":" + std::to_string(sy), [&, sx = sx, sy = sy] {
      fresh_canvas("Screen");
      CVL_SetScale(sx, sy);
      CVL_SetViewSize(kW * 3, kH * 3);
      std::vector<uint8_t> view(size_t(kW) * 3 * kH * 3 * 3);
      CVL_Render(view.data(), kW * 3 * 3, 0, 0, kW, kH);
      return view;
    });
  const std::string path = ::testing::TempDir() + "threaded_page.tga";
  expect_same_on_every_count("page", [&] {
    fresh_canvas("Overlay");
    CVL_SavePageToFileRGB32(path.c_str(), ".tga", 72);
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  });
  std::remove(path.c_str());
}

}  // namespace
}  // namespace cvl

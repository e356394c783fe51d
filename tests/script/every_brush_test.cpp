// A recorded painting with a stroke of every tip and every brush mix mode, then a
// chain of effects, must come out as the same words on every platform the engine is
// built for: the suite compares a hash of the layers with the one recorded here, on
// Linux and in the Windows build alike, and at one and at three threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "corvel/corvel.h"
#include "script/paint_script_reader.h"

namespace cvl {
namespace {

constexpr int kW = 320, kH = 240;
constexpr int kPaper = 1, kInk = 2;

// Plays the painting: tips by name ("hard", "soft", "chalk" with grit, "smudge" with
// blending), the softness and the brush mix mode from SelectBrush's values, dabs a
// quarter of the brush apart along each stroke, and each Filter over the picture so far.
class Player final : public PaintScriptSink {
 public:
  std::vector<std::string> problems;

  void problem(int line, const std::string& what) override {
    problems.push_back(std::to_string(line) + ": " + what);
  }
  void command(const PaintCommand& c) override {
    auto num = [&](size_t i) {
      double d = 0;
      if (!paint_number(c.values[i], d)) problems.push_back(std::to_string(c.line) + ": not a number");
      return d;
    };
    switch (c.op) {
      case PaintOp::SelectBrush: {
        const std::string kind(c.values[0]);
        const bool chalk = kind == "chalk", smudge = kind == "smudge";
        CVL_SetTool(1.0f, chalk ? 2 : 0, chalk ? 60 : 0, chalk ? 128 : 0, int32_t(num(1)), 0, 1000,
                    smudge ? 160 : 0, 0, 0, 0, 0, 0, "", "", 0);
        CVL_SetMixMode(int32_t(num(2)), 200);
        return;
      }
      case PaintOp::SetBrushSize: size_ = int32_t(num(0)); CVL_SetSize(size_); return;
      case PaintOp::SetColor: r_ = int32_t(num(0)), g_ = int32_t(num(1)), b_ = int32_t(num(2)); return;
      case PaintOp::DrawStart: path_ = {{num(0), num(1), 1.0}}; return;
      case PaintOp::SmoothPlot2:
        if (num(3) == 0 && num(4) == 0) path_.push_back({num(0), num(1), num(2)});
        return;
      case PaintOp::DrawStop: return stroke();
      case PaintOp::Filter: return filter(c, num);
      default: problems.push_back(std::string("unexpected ") + paint_op_name(c.op));
    }
  }

 private:
  struct Sample {
    double x, y, pressure;
  };

  void stroke() {
    CVL_SetLayer(kInk);
    CVL_CreatePaintLayer(100, "Normal");
    CVL_ClearPaintLayer();
    const double step = std::max(1.0, size_ / 4.0);
    for (size_t i = 1; i < path_.size(); ++i) {
      const Sample &a = path_[i - 1], &b = path_[i];
      const int n = std::max(1, int(std::hypot(b.x - a.x, b.y - a.y) / step));
      for (int k = 0; k < n; ++k) {
        const double t = double(k) / n, p = a.pressure + (b.pressure - a.pressure) * t;
        CVL_SetScaleSize(std::max(1, int(std::lround(size_ * p))));
        CVL_DrawDabGrit(int(std::lround(a.x + (b.x - a.x) * t)), int(std::lround(a.y + (b.y - a.y) * t)), r_ << 8,
                        g_ << 8, b_ << 8);
        CVL_DecDrawingLength();
      }
    }
    CVL_MergePaintLayer(kInk);
    CVL_SaveUndoBuffer(1, 0);
  }

  template <class Num>
  void filter(const PaintCommand& c, Num& num) {
    const std::string name(c.values[0]);
    int32_t v[19];
    for (size_t i = 1; i < 19; ++i) v[i] = int32_t(num(i));
    CVL_MergeLayer(kInk, kPaper);
    CVL_SetLayer(kInk);
    CVL_Clear(0, 0, 0, 0);
    CVL_SetLayer(kPaper);
    CVL_IPLAllocSrcBuffer32();
    CVL_IPLAllocDstBuffer32();
    if (!CVL_IPLImageProcess(0, name.c_str(), v[1], v[2] * 10, v[3] * 10, v[4] * 10, v[5] * 10, v[6] * 10, v[7] * 10,
                             v[8], v[9], v[10], v[11], v[12], v[13], v[14], v[15], v[16], v[17], v[18], ""))
      problems.push_back(name + " did not run: " + CVL_GetLastError());
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
  }

  std::vector<Sample> path_;
  int32_t size_ = 16, r_ = 0, g_ = 0, b_ = 0;
};

// FNV-1a over the little-endian bytes of every word of the two layers.
uint64_t painting_hash(int threads) {
  CVL_SetThreadCount(threads);
  CVL_DeleteImage();
  CVL_SetRandomSeed(11);
  CVL_IPLInit(0);
  CVL_CreateImage(nullptr, kW, kH, 64, 0);
  CVL_SetUndoLevels(2);
  EXPECT_EQ(CVL_CreateLayer(kPaper, kW, kH), 1);
  EXPECT_EQ(CVL_CreateLayer(kInk, kW, kH), 1);
  CVL_SetLayerOptions(kPaper, 1, 0, 100, "Normal");
  CVL_SetLayerOptions(kInk, 1, 0, 100, "Normal");
  CVL_SetLayer(kPaper);
  CVL_Clear(250, 246, 235, 255);

  std::ifstream in(std::string(CORVEL_TEST_DATA) + "/every_brush.srp", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_FALSE(text.empty());
  Player player;
  read_paint_script(text, player);
  for (const std::string& p : player.problems) ADD_FAILURE() << p;

  uint64_t hash = 1469598103934665603ull;
  std::vector<uint16_t> words(size_t(kW) * kH * 4);
  for (int slot : {kPaper, kInk}) {
    CVL_GetRGBA64LayerRect(words.data(), kW * 8, slot, 0, 0, kW, kH);
    for (uint16_t w : words)
      for (int byte : {w & 0xFF, w >> 8}) hash = (hash ^ uint64_t(byte)) * 1099511628211ull;
  }
  CVL_DeleteImage();
  CVL_SetThreadCount(0);
  return hash;
}

TEST(EveryBrush, ThePaintingComesOutWordForWordOnEveryPlatformAndThreadCount) {
  const uint64_t one = painting_hash(1);
  EXPECT_EQ(painting_hash(3), one) << "three threads differ from one";
  EXPECT_EQ(one, 0x4395ace8b1b13293ull) << std::hex << "the painting's hash is 0x" << one;
}

}  // namespace
}  // namespace cvl

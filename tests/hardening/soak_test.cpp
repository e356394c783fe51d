// A long random session of valid exported calls, the way a host drives the engine:
// layers made, deleted and moved, strokes with random tools, layer merges, effects,
// selections and fills through them, undo and redo, canvas resizes and file round
// trips. After every call the layers a call may not touch must be unchanged, and
// now and then an undo followed by a redo must give back the exact layers and mask.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/engine.h"
#include "corvel/corvel.h"

#if defined(__SANITIZE_ADDRESS__)
#define CORVEL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVEL_SANITIZED 1
#endif
#endif

namespace {

#ifdef CORVEL_SANITIZED
constexpr int kSteps = 10000;
#else
constexpr int kSteps = 30000;
#endif
constexpr int32_t kCapacity = 32;
constexpr int32_t kFirstSlot = 1, kLastSlot = 9;  // the background and eight painting slots

const char* const kEffects[] = {"Blur",     "Gaussian Blur", "Motion Blur", "Brightness and Contrast", "Gamma",
                                "Negative", "Posterize",     "Sharpen",     "Oil Paint",               "Emboss",
                                "Median",   "Twirl",         "Mosaic",      "Add Uniform Noise",       "Grayscale"};
const char* const kModes[] = {"Normal", "Multiply", "Screen", "Overlay", "Darken", "Lighten", "Difference"};

struct Plane {
  std::vector<uint16_t> words;
  int32_t width = 0, height = 0;
  bool operator==(const Plane&) const = default;
};

struct Snapshot {
  std::vector<Plane> layers;  // slots 0 .. kLastSlot
  std::vector<uint16_t> mask;
  bool operator==(const Snapshot&) const = default;

  static Snapshot take() {
    const cvl::Engine& e = cvl::engine();
    Snapshot s;
    for (int32_t n = 0; n <= kLastSlot; ++n) {
      const cvl::Layer& l = e.layer_slots[static_cast<size_t>(n)];
      s.layers.push_back({std::vector<uint16_t>(l.data(), l.data() + l.pixels.size()), l.width, l.height});
    }
    s.mask.assign(e.mask.get(), e.mask.get() + e.mask.size());
    return s;
  }
};

class Soak : public ::testing::Test {
 protected:
  std::mt19937 rng{20261208};
  std::filesystem::path dir;
  std::string png;
  int32_t width = 48, height = 40;
  long calls = 0;
  long checks = 0;

  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("corvel_soak_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    png = (dir / "round_trip.png").string();
    CVL_DeleteImage();
    CVL_SetRandomSeed(5);
    CVL_CreateImage(nullptr, width, height, kCapacity, 0);
    CVL_SetUndoLevels(40);
    CVL_CreateLayer(1, width, height);
    CVL_CreateLayer(2, width, height);
    CVL_SetLayer(2);
  }
  void TearDown() override {
    CVL_DeleteNewRGBA();
    CVL_DeletePaintLayer();
    CVL_DeleteImage();
    CVL_ClearUndo();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  int32_t pick(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); }
  cvl::Engine& e() { return cvl::engine(); }
  int32_t current() const { return CVL_GetLayerNum(); }
  bool has(int32_t slot) { return e().slot(slot).has_pixels(); }

  std::vector<int32_t> slots_with_pixels() {
    std::vector<int32_t> out;
    for (int32_t n = kFirstSlot; n <= kLastSlot; ++n)
      if (has(n)) out.push_back(n);
    return out;
  }

  // Every slot other than `allowed` (-1: none) is as it was.
  void expect_untouched(const Snapshot& before, int32_t allowed, const char* what) {
    const Snapshot now = Snapshot::take();
    for (int32_t n = 0; n <= kLastSlot; ++n)
      if (n != allowed) {
        ASSERT_TRUE(now.layers[size_t(n)] == before.layers[size_t(n)]) << what << " changed slot " << n;
      }
    ++checks;
  }
  // The current layer changed only inside [x0, x1] x [y0, y1].
  void expect_only_inside(const Snapshot& before, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const char* what) {
    const int32_t slot = current();
    const Plane& b = before.layers[size_t(slot)];
    const cvl::Layer& l = e().slot(slot);
    for (int32_t y = 0; y < l.height; ++y)
      for (int32_t x = 0; x < l.width; ++x) {
        if (x >= x0 && x <= x1 && y >= y0 && y <= y1) continue;
        const size_t i = (size_t(y) * size_t(l.width) + size_t(x)) * 4;
        ASSERT_TRUE(std::equal(l.data() + i, l.data() + i + 4, b.words.begin() + long(i)))
            << what << " changed (" << x << ", " << y << ") outside its area";
      }
    ++checks;
  }

  void save(bool layer, bool mask) {
    CVL_SaveUndoBuffer(layer, mask);
    ++calls;
  }

  // ---- The calls ------------------------------------------------------------

  void add_layer() {
    std::vector<int32_t> free;
    for (int32_t n = 2; n <= kLastSlot; ++n)
      if (!has(n)) free.push_back(n);
    if (free.empty()) return;
    const int32_t slot = free[size_t(pick(0, int32_t(free.size()) - 1))];
    const Snapshot before = Snapshot::take();
    ASSERT_EQ(CVL_CreateLayer(slot, width, height), 1);
    CVL_SetLayerOptions(slot, pick(0, 3) != 0, pick(0, 4) == 0, pick(10, 100), kModes[pick(0, 6)]);
    calls += 2;
    expect_untouched(before, slot, "CreateLayer");
    if (pick(0, 1)) {
      CVL_SetLayer(slot);
      ++calls;
    }
  }

  void delete_layer() {
    std::vector<int32_t> others;
    for (int32_t n : slots_with_pixels())
      if (n != current() && n != 1) others.push_back(n);
    if (others.empty()) return;
    const int32_t slot = others[size_t(pick(0, int32_t(others.size()) - 1))];
    const Snapshot before = Snapshot::take();
    CVL_DeleteLayer(slot);
    ++calls;
    ASSERT_FALSE(has(slot));
    expect_untouched(before, slot, "DeleteLayer");
  }

  void move_layer() {
    const int32_t a = pick(2, kLastSlot), b = pick(2, kLastSlot);
    const Snapshot before = Snapshot::take();
    CVL_SwapLayers(a, b);
    ++calls;
    const Snapshot now = Snapshot::take();
    ASSERT_TRUE(now.layers[size_t(a)] == before.layers[size_t(b)] && now.layers[size_t(b)] == before.layers[size_t(a)]);
    for (int32_t n = 0; n <= kLastSlot; ++n)
      if (n != a && n != b) {
        ASSERT_TRUE(now.layers[size_t(n)] == before.layers[size_t(n)]) << "SwapLayers";
      }
    ++checks;
    // The host states the moved layers' options again, which also lets the engine see
    // the highest slot in use; and the current slot may hold other pixels now.
    for (int32_t n : {a, b}) {
      const cvl::Layer& l = e().slot(n);
      const std::string mode = l.mode_name;
      CVL_SetLayerOptions(n, l.visible, l.lockAlpha, l.opacity * 100 / 256, mode.c_str());
    }
    calls += 2;
    if (!has(current())) CVL_SetLayer(slot_to_paint());
    else CVL_SetLayer(current());
    ++calls;
  }

  int32_t slot_to_paint() {
    const std::vector<int32_t> s = slots_with_pixels();
    return s[size_t(pick(0, int32_t(s.size()) - 1))];
  }

  void stroke() {
    if (pick(0, 2) == 0) {
      CVL_SetLayer(slot_to_paint());
      ++calls;
    }
    const int32_t size = pick(2, kCapacity);
    CVL_SetSize(size);
    CVL_SetTool(static_cast<float>(pick(1, 10)) / 10.0f, pick(0, 3), pick(0, 100), pick(0, 100), pick(0, 255),
                pick(0, 20), 100, pick(0, 1) ? pick(0, 256) : 0, pick(0, 256), pick(0, 1), 0, pick(0, 1), 0, "", "",
                pick(0, 359));
    CVL_SetDensity(pick(1, 256));
    CVL_SetAlpha(pick(1, 100));
    CVL_SetMixMode(pick(0, 40), pick(0, 256));
    CVL_SetColorBanks(pick(0, 255), pick(0, 255), pick(0, 255), pick(0, 255), pick(0, 255), pick(0, 255),
                      pick(0, 255), pick(0, 255), pick(0, 255), pick(0, 255), pick(0, 255), pick(0, 255));
    calls += 6;
    const bool through_paint_layer = pick(0, 2) != 0;
    if (through_paint_layer) {
      CVL_CreatePaintLayer(pick(10, 100), kModes[pick(0, 6)]);
      CVL_ClearPaintLayer();
    } else {
      CVL_DeletePaintLayer();
    }
    calls += 2;
    const Snapshot before = Snapshot::take();
    int32_t x0 = width, y0 = height, x1 = -1, y1 = -1;
    const int32_t dabs = pick(1, 12);
    for (int32_t i = 0; i < dabs; ++i) {
      const int32_t x = pick(-8, width + 8), y = pick(-8, height + 8);
      CVL_SetScaleSize(pick(1, size));
      if (pick(0, 5) == 0) CVL_SetRotateBrushMode(1, pick(0, 359));
      CVL_DrawDabGrit(x, y, pick(0, 0xFFFF), pick(0, 0xFFFF), pick(0, 0xFFFF));
      CVL_DecDrawingLength();
      calls += 3;
      x0 = std::min(x0, x - size);
      y0 = std::min(y0, y - size);
      x1 = std::max(x1, x + size);
      y1 = std::max(y1, y + size);
    }
    CVL_SetRotateBrushMode(0, 0);
    if (through_paint_layer) CVL_MergePaintLayer(current());
    ++calls;
    expect_untouched(before, current(), "a stroke");
    expect_only_inside(before, x0, y0, x1, y1, "a stroke");
    save(true, false);
  }

  void merge_layers() {
    const std::vector<int32_t> s = slots_with_pixels();
    const int32_t src = s[size_t(pick(0, int32_t(s.size()) - 1))], dst = s[size_t(pick(0, int32_t(s.size()) - 1))];
    if (src == dst) return;
    const Snapshot before = Snapshot::take();
    CVL_MergeLayer(src, dst);
    ++calls;
    expect_untouched(before, dst, "MergeLayer");
    if (dst == current()) save(true, false);
  }

  void effect() {
    ASSERT_TRUE(CVL_IPLAllocSrcBuffer32() && CVL_IPLAllocDstBuffer32());
    const Snapshot before = Snapshot::take();
    const char* name = kEffects[pick(0, int32_t(std::size(kEffects)) - 1)];
    CVL_IPLImageProcess(0, name, pick(0, 10), pick(0, 1000), pick(0, 1000), pick(0, 1000), pick(0, 1000),
                        pick(0, 1000), pick(0, 1000), pick(0, 3), pick(0, 10), pick(0, 1), pick(0, 1), pick(0, 1),
                        pick(0, 1), pick(0, 1), pick(0, 1), pick(0, 255), pick(0, 255), pick(0, 255), "");
    calls += 3;
    expect_untouched(before, current(), name);
    save(true, false);
  }

  void selection() {
    const Snapshot before = Snapshot::take();
    const int32_t x0 = pick(0, width - 1), y0 = pick(0, height - 1), x1 = pick(x0, width - 1), y1 = pick(y0, height - 1);
    switch (pick(0, 4)) {
      case 0: CVL_IPLMaskRectangle(x0, y0, x1, y1, pick(0, 100)); break;
      case 1: CVL_IPLMaskEllipse(x0, y0, x1, y1, pick(0, 100)); break;
      case 2: CVL_InvertMask(); break;
      case 3: CVL_ClearMask(pick(0, 1) * 0xFFFF, 0, 0); break;
      default: CVL_IPLMaskWand(x0, y0, pick(0, 50000), pick(0, 100), pick(0, 1) ? "Connected" : "Non-connected"); break;
    }
    CVL_EnableMask(pick(0, 1));
    calls += 2;
    expect_untouched(before, -1, "a selection");
    save(false, true);
  }

  // A filled box through the selection: nothing outside the box, nor under a fully
  // protected part of an enabled mask, may change.
  void fill() {
    const Snapshot before = Snapshot::take();
    const int32_t x0 = pick(0, width - 1), y0 = pick(0, height - 1), x1 = pick(x0, width), y1 = pick(y0, height - 1);
    CVL_IPLRectangle(pick(0, 255), pick(0, 255), pick(0, 255), x0, y0, x1, y1, pick(1, 100));
    ++calls;
    expect_untouched(before, current(), "IPLRectangle");
    expect_only_inside(before, x0, y0, x1, y1, "IPLRectangle");
    if (e().mask_active()) {
      const cvl::Layer& l = e().slot(current());
      const Plane& b = before.layers[size_t(current())];
      for (size_t p = 0; p < e().canvas_pixels(); ++p)
        if (e().mask[p] == 0) {
          ASSERT_TRUE(std::equal(l.data() + p * 4, l.data() + p * 4 + 4, b.words.begin() + long(p * 4)))
              << "IPLRectangle painted a protected pixel";
        }
      ++checks;
    }
    save(true, false);
  }

  // Undo k steps and redo them: the layers and the mask come back word for word.
  void undo_redo() {
    const Snapshot before = Snapshot::take();
    const int32_t redoable = CVL_GetRedoCount();
    int32_t undone = 0;
    for (int32_t k = pick(1, 4); k > 0 && CVL_CanUndo(); --k, ++undone) CVL_Undo();
    for (int32_t k = 0; k < undone; ++k) CVL_Redo();
    calls += 2 * undone;
    ASSERT_EQ(CVL_GetRedoCount(), redoable);
    ASSERT_TRUE(Snapshot::take() == before) << "undo then redo of " << undone << " steps";
    ++checks;
    // Leave the history somewhere in the middle now and then; the next save drops the rest.
    if (pick(0, 3) == 0 && CVL_CanUndo()) {
      CVL_Undo();
      ++calls;
    }
  }

  void resize() {
    const int32_t w = pick(24, 64), h = pick(20, 56);
    if (pick(0, 1)) CVL_IPLResize(w, h, "Bilinear");
    else CVL_IPLResizePage(w, h, "MC");
    CVL_NewSize(nullptr, w, h, kCapacity, 0);
    width = w;
    height = h;
    for (int32_t n : slots_with_pixels()) {
      ASSERT_EQ(e().slot(n).width, w) << "slot " << n;
      ASSERT_EQ(e().slot(n).height, h);
    }
    CVL_SetLayer(current());
    CVL_ClearUndo();
    calls += 4;
    ++checks;
  }

  // The current layer to a PNG file and back: the bytes read are the bytes written,
  // and loading them back leaves the layer as it was where it was opaque.
  void file_round_trip() {
    std::vector<uint8_t> out(size_t(width) * size_t(height) * 4), in(out.size());
    ASSERT_EQ(CVL_GetRGBA32Layer(out.data(), width * 4, current()), height);
    ASSERT_EQ(CVL_WriteToFileRGBA32(out.data(), width, height, png.c_str(), ".png", 96), 1);
    ASSERT_EQ(CVL_ReadFromFile(png.c_str()), 1);
    ASSERT_EQ(CVL_GetNewRGBAWidth(), width);
    ASSERT_EQ(CVL_GetNewRGBAHeight(), height);
    CVL_GetNewRGBA32(in.data());
    calls += 5;
    ASSERT_TRUE(in == out) << "the PNG round trip changed the pixels";
    ++checks;
    if (pick(0, 1)) {
      const Snapshot before = Snapshot::take();
      CVL_SetInNewRGBA();
      ++calls;
      expect_untouched(before, current(), "SetInNewRGBA");
      save(true, false);
    }
  }
};

TEST_F(Soak, RandomSessionKeepsLayersHistoryAndFilesConsistent) {
  for (const char* name : kEffects) {
    bool known = false;
    for (int32_t i = 0; const char* n = CVL_IPLEffectInfo(i, nullptr, nullptr); ++i) known = known || !std::strcmp(n, name);
    ASSERT_TRUE(known) << name;
  }
  for (int step = 0; step < kSteps; ++step) {
    const int32_t what = pick(0, 99);
    SCOPED_TRACE("step " + std::to_string(step));
    if (what < 6) add_layer();
    else if (what < 9) delete_layer();
    else if (what < 13) move_layer();
    else if (what < 45) stroke();
    else if (what < 50) merge_layers();
    else if (what < 58) effect();
    else if (what < 66) selection();
    else if (what < 74) fill();
    else if (what < 94) undo_redo();
    else if (what < 96) resize();
    else file_round_trip();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(has(current())) << "the current layer lost its pixels";
  }
  std::printf("soak: %d steps, %ld calls, %ld invariant checks\n", kSteps, calls, checks);
}

}  // namespace

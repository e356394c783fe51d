// Allocation failure, one allocation at a time.
//
// This program replaces the global operator new with a counting one. A scripted
// session of exported calls (canvas, layers, a stroke with its undo step, an effect,
// undo and redo, a file written and read back) runs once to count the allocations
// each call makes; then it runs again for N = 1, 2, ... with the N-th allocation
// failing (throwing, or null from the nothrow forms). The call that met the failure
// must return its failure value and leave an "... Excpt" text, and afterwards the
// host must still be able to use the canvas: the history walks back and forth to the
// same pixels, and a fresh stroke paints, undoes and redoes exactly.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "core/engine.h"
#include "corvel/corvel.h"

namespace {

// ---- The counting allocator ------------------------------------------------

struct Injector {
  bool counting = false;  // only allocations made inside an exported call count
  long count = 0;         // allocations counted in this session
  long fail_at = 0;       // the allocation that fails; 0 for none
  bool failed = false;    // set once the failure was handed out
  void* last_site = nullptr;
  std::vector<void*>* sites = nullptr;  // the caller of each counted allocation
};
Injector g_injector;

// Null when this allocation is the one that fails.
void* counted_malloc(size_t n, void* site) {
  Injector& in = g_injector;
  if (in.counting) {
    ++in.count;
    if (in.sites) {
      in.counting = false;  // the record of sites allocates too
      in.sites->push_back(site);
      in.counting = true;
    }
    if (in.count == in.fail_at) {
      in.failed = true;
      in.last_site = site;
      return nullptr;
    }
  }
  return std::malloc(n ? n : 1);
}

void* throwing_new(size_t n, void* site) {
  void* p = counted_malloc(n, site);
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(size_t n) { return throwing_new(n, __builtin_return_address(0)); }
void* operator new[](size_t n) { return throwing_new(n, __builtin_return_address(0)); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return counted_malloc(n, __builtin_return_address(0)); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
  return counted_malloc(n, __builtin_return_address(0));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

constexpr int32_t kW = 64, kH = 64;
constexpr size_t kLayerWords = size_t{kW} * kH * 4;

// ---- The scripted session ----------------------------------------------------

// One exported call: its "... Excpt" text, and the value it returns on failure
// (calls without a result give 0 and have none).
struct Step {
  const char* name;
  const char* failure_text;
  std::function<intptr_t()> run;
  bool has_result = false;
  intptr_t failure_value = 0;
  const char* inner_text = nullptr;  // an inner call's text that also counts
  // A call may get over a failure by itself (the history gives up its oldest
  // records and tries again); it then owes no text when this says its work is done.
  std::function<bool()> done_anyway;
};

struct Session {
  std::filesystem::path dir;
  std::string png;
  std::vector<uint8_t> rgba = std::vector<uint8_t>(size_t{kW} * kH * 4);
  std::vector<Step> steps;

  Session() {
    dir = std::filesystem::temp_directory_path() / ("corvel_alloc_fail_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    png = (dir / "page.png").string();
    build();
  }
  ~Session() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  void call(const char* name, const char* text, std::function<void()> f) {
    steps.push_back({name, text, [f] { f(); return intptr_t{0}; }, false, 0, nullptr, {}});
  }
  void call_r(const char* name, const char* text, intptr_t failure, std::function<intptr_t()> f) {
    steps.push_back({name, text, std::move(f), true, failure, nullptr, {}});
  }

  void build() {
    call("CVL_CreateImage", "CreateImage Excpt", [] { CVL_CreateImage(nullptr, kW, kH, 32, 0); });
    for (int32_t slot : {1, 2, 3})
      call_r("CVL_CreateLayer", "CreateLayer Excpt", 0, [slot] { return CVL_CreateLayer(slot, kW, kH); });
    call_r("CVL_SetLayerOptions", "SetLayerOptions Excpt", 0,
           [] { return CVL_SetLayerOptions(3, 1, 0, 50, "Multiply"); });
    call("CVL_SetLayer", "SetLayer Excpt", [] { CVL_SetLayer(2); });
    call_r("CVL_SetUndoLevels", "SetUndoLevels Excpt", 0, [] { return CVL_SetUndoLevels(50); });
    call("CVL_SetTool", "SetTool Excpt", [] {
      CVL_SetSize(12);
      CVL_SetTool(1.0f, 2, 40, 30, 40, 0, 100, 0, 0, 0, 0, 0, 0, "", "", 0);
      CVL_SetDensity(256);
      CVL_SetAlpha(100);
      CVL_SetMixMode(32, 256);
    });
    steps.back().inner_text = "SetBrushShape Excpt";  // the tip is built by its own export
    // A stroke through the paint layer, merged and saved.
    call("CVL_CreatePaintLayer", "CreatePaintLayer Excpt", [] {
      CVL_CreatePaintLayer(100, "Normal");
      CVL_ClearPaintLayer();
    });
    for (int32_t i = 0; i < 4; ++i)
      call("CVL_DrawDabGrit", "DrawDabGrit Excpt", [i] { CVL_DrawDabGrit(10 + 8 * i, 20 + 4 * i, 0xC000, 0x4000, 0x2000); });
    call("CVL_MergePaintLayer", "MergePaintLayer Excpt", [] { CVL_MergePaintLayer(2); });
    save_undo(0);
    call("CVL_Undo", "Undo Excpt", [] { CVL_Undo(); });
    call("CVL_Redo", "Redo Excpt", [] { CVL_Redo(); });
    // A selection and an effect through the working images.
    call("CVL_IPLMaskRectangle", "IPLMaskRectangle Excpt", [] {
      CVL_ClearMask(0, 0, 0);
      CVL_IPLMaskRectangle(0, 0, 20, 63, 100);
      CVL_EnableMask(1);
    });
    call_r("CVL_IPLAllocSrcBuffer32", "IPLAllocSrcBuffer32 Excpt", 0,
           [] { return reinterpret_cast<intptr_t>(CVL_IPLAllocSrcBuffer32()); });
    call_r("CVL_IPLAllocDstBuffer32", "IPLAllocDstBuffer32 Excpt", 0,
           [] { return reinterpret_cast<intptr_t>(CVL_IPLAllocDstBuffer32()); });
    call_r("CVL_IPLImageProcess", "IPLImageProc Excpt", 0, [] {
      return CVL_IPLImageProcess(0, "Gaussian Blur", 0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
    });
    save_undo(1);
    call("CVL_Undo", "Undo Excpt", [] { CVL_Undo(); });
    call("CVL_Undo", "Undo Excpt", [] { CVL_Undo(); });
    call("CVL_Redo", "Redo Excpt", [] { CVL_Redo(); });
    call("CVL_Redo", "Redo Excpt", [] { CVL_Redo(); });
    // The layer to a file and back in through the selection.
    call_r("CVL_GetRGBA32Layer", "GetRGBA32Layer Excpt", 0,
           [this] { return CVL_GetRGBA32Layer(rgba.data(), kW * 4, 2); });
    call_r("CVL_WriteToFileRGBA32", "WriteToFileRGBA32 Excpt", 0,
           [this] { return CVL_WriteToFileRGBA32(rgba.data(), kW, kH, png.c_str(), ".png", 96); });
    call_r("CVL_ReadFromFile", "ReadFromFile Excpt", 0, [this] { return CVL_ReadFromFile(png.c_str()); });
    steps.back().inner_text = "CreateNewRGBA Excpt";  // the new-RGBA buffer's own allocator reports
    call_r("CVL_SetInNewRGBA", "SetInNewRGBA Excpt", 0, [] { return CVL_SetInNewRGBA(); });
    save_undo(0);
    call("CVL_Undo", "Undo Excpt", [] { CVL_Undo(); });
    call("CVL_Redo", "Redo Excpt", [] { CVL_Redo(); });
  }

  // A save whose record was made after all is not a lost step.
  void save_undo(int32_t with_mask) {
    call("CVL_SaveUndoBuffer", "SaveUndoBuf Excpt", [with_mask] { CVL_SaveUndoBuffer(1, with_mask); });
    steps.back().done_anyway = [] { return CVL_CanUndo() == 1 && CVL_GetRedoCount() == 0; };
  }
};

// Everything the engine holds between calls, released without counting.
void reset_engine() {
  CVL_DeleteNewRGBA();
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  CVL_DeletePaintLayer();
  CVL_DeleteImage();
  CVL_ClearUndo();
  CVL_EnableMask(0);
}

std::vector<std::vector<uint16_t>> layers_now() {
  std::vector<std::vector<uint16_t>> out;
  for (const cvl::Layer& layer : cvl::engine().layer_slots)
    out.emplace_back(layer.data(), layer.data() + layer.pixels.size());
  return out;
}

// What went wrong in one session, empty when nothing did.
struct Outcome {
  int failed_step = -1;
  std::string problem;
};

class AllocationFailure : public ::testing::Test {
 protected:
  Session session;

  // Runs the session with the fail_at-th allocation failing; stops after the
  // call that met the failure.
  Outcome run(long fail_at, std::vector<void*>* sites = nullptr, std::vector<long>* step_ends = nullptr) {
    reset_engine();
    Injector& in = g_injector;
    in = Injector{};
    in.fail_at = fail_at;
    in.sites = sites;
    Outcome out;
    for (size_t i = 0; i < session.steps.size(); ++i) {
      const Step& step = session.steps[i];
      CVL_SetLastError("");
      intptr_t result = 0;
      bool escaped = false;
      in.counting = true;
      try {
        result = step.run();
      } catch (...) {
        escaped = true;
      }
      in.counting = false;
      if (step_ends) step_ends->push_back(in.count);
      if (!in.failed) {
        if (escaped) out.problem = std::string(step.name) + " threw without an injected failure";
        if (escaped) return out;
        continue;
      }
      out.failed_step = static_cast<int>(i);
      const std::string text = CVL_GetLastError();
      if (escaped) out.problem = std::string(step.name) + " let the exception out";
      else if (text.empty() && step.done_anyway && step.done_anyway()) return out;
      else if (text != step.failure_text && !(step.inner_text && text == step.inner_text))
        out.problem = std::string(step.name) + " recorded \"" + text + "\", not \"" + step.failure_text + "\"";
      else if (step.has_result && result != step.failure_value)
        out.problem = std::string(step.name) + " returned " + std::to_string(result) + " after the failure";
      return out;
    }
    return out;
  }

  // After a failure the host fills in what is missing and paints on: the history
  // must walk back and forth to the same pixels, and a new stroke must land, undo
  // and redo exactly.
  std::string check_usable() {
    cvl::Engine& e = cvl::engine();
    if (e.canvas_width != kW || !e.under_layer.pixels || !e.mask) CVL_CreateImage(nullptr, kW, kH, 32, 0);
    for (int32_t slot : {1, 2, 3})
      if (!e.slot(slot).has_pixels() && !CVL_CreateLayer(slot, kW, kH)) return "a layer cannot be made again";
    for (const cvl::Layer& layer : e.layer_slots)
      if (layer.has_pixels() && (layer.pixels.size() != size_t(layer.width) * layer.height * 4 ||
                                 layer.rowStride != layer.width * 4))
        return "a layer's size does not match its pixels";
    CVL_EnableMask(0);
    CVL_SetLayer(2);

    const auto before_walk = layers_now();
    int undone = 0;
    while (CVL_CanUndo() && undone < 500) {
      CVL_Undo();
      ++undone;
    }
    for (int i = 0; i < undone; ++i) CVL_Redo();
    if (layers_now() != before_walk) return "undo and redo of the history do not come back to the same pixels";

    CVL_SetLayer(2);
    CVL_SaveUndoBackBuffer(2);
    const std::vector<uint16_t> before(e.slot(2).data(), e.slot(2).data() + kLayerWords);
    CVL_SetSize(8);
    CVL_SetTool(1.0f, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, "", "", 0);
    CVL_SetDensity(256);
    CVL_SetAlpha(100);
    CVL_SetMixMode(32, 256);
    CVL_CreatePaintLayer(100, "Normal");
    CVL_ClearPaintLayer();
    CVL_DrawDabGrit(50, 50, 0xFF00, 0, 0);
    CVL_MergePaintLayer(2);
    CVL_SaveUndoBuffer(1, 0);
    const uint16_t* centre = e.slot(2).data() + (size_t{50} * kW + 50) * 4;
    if (centre[0] != 0xFF00 || centre[1] != 0 || centre[2] != 0 || centre[3] == 0)
      return "the fresh dab did not paint: " + std::to_string(centre[0]) + "," + std::to_string(centre[1]) + "," +
             std::to_string(centre[2]) + "," + std::to_string(centre[3]);
    if (!std::equal(before.begin(), before.begin() + 4 * kW, e.slot(2).data())) return "the fresh dab painted row 0";
    const std::vector<uint16_t> after(e.slot(2).data(), e.slot(2).data() + kLayerWords);
    CVL_Undo();
    if (!std::equal(before.begin(), before.end(), e.slot(2).data())) return "undo of the fresh stroke is not exact";
    CVL_Redo();
    if (!std::equal(after.begin(), after.end(), e.slot(2).data())) return "redo of the fresh stroke is not exact";
    return {};
  }
};

TEST_F(AllocationFailure, EveryFailingAllocationIsReportedAndTheCanvasStaysUsable) {
  std::vector<void*> sites;
  std::vector<long> step_ends;
  run(0);  // first uses of the engine's own lasting tables
  const Outcome clean = run(0, &sites, &step_ends);
  ASSERT_EQ(clean.failed_step, -1);
  ASSERT_EQ(clean.problem, "");
  ASSERT_EQ(check_usable(), "");
  const long total = static_cast<long>(sites.size());
  ASSERT_GT(total, 0);

  // Every allocation when there are few; otherwise every distinct caller within each
  // call, plus a stride through the rest.
  std::set<std::pair<size_t, void*>> seen;
  std::vector<long> chosen;
  const long stride = total <= 4000 ? 1 : total / 2000;
  size_t step = 0;
  for (long n = 1; n <= total; ++n) {
    while (step < step_ends.size() && step_ends[step] < n) ++step;
    const bool first_here = seen.insert({step, sites[static_cast<size_t>(n - 1)]}).second;
    if (first_here || n % stride == 0) chosen.push_back(n);
  }

  std::set<std::string> failing_calls;
  int reported = 0;
  for (long n : chosen) {
    const Outcome out = run(n);
    ASSERT_GE(out.failed_step, 0) << "allocation " << n << " was not reached again";
    EXPECT_EQ(out.problem, "") << "allocation " << n;
    const std::string usable = check_usable();
    EXPECT_EQ(usable, "") << "after allocation " << n << " failed in " << session.steps[out.failed_step].name;
    if (out.problem.empty() && usable.empty()) ++reported;
    failing_calls.insert(session.steps[out.failed_step].name);
  }
  std::printf("allocations in the session: %ld, failed one at a time: %zu (%zu distinct sites), in %zu calls\n",
              total, chosen.size(), seen.size(), failing_calls.size());
  EXPECT_EQ(reported, static_cast<int>(chosen.size()));
  reset_engine();
}

}  // namespace

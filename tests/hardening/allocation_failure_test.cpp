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

#include <algorithm>
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
  bool fail_rest = false; // every allocation from fail_at on fails
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
    if (in.count == in.fail_at || (in.fail_rest && in.fail_at && in.count > in.fail_at)) {
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
                                 layer.row_stride != layer.width * 4))
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

// ---- Calls that once ran outside the catch-all -------------------------------
//
// Each of these calls is made on a small prepared canvas with every allocation it
// makes failing. No exception may leave the call; one that met a failure returns
// its failure value, with its own "<Name> Excpt" unless it got over the failure
// by itself (the nothrow paths that report by their result alone).

struct GuardCase {
  const char* name;
  const char* failure_text;
  std::function<intptr_t()> run;
  bool has_result = false;  // the failure value is then 0
};

std::vector<uint8_t>& scratch() {
  static std::vector<uint8_t> bytes(size_t{kW} * kH * 8, 0x80);
  return bytes;
}
uint16_t* scratch16() { return reinterpret_cast<uint16_t*>(scratch().data()); }

GuardCase void_case(const char* name, const char* text, std::function<void()> f) {
  return {name, text, [f] { f(); return intptr_t{0}; }, false};
}
GuardCase int_case(const char* name, const char* text, std::function<intptr_t()> f) {
  return {name, text, std::move(f), true};
}

std::vector<GuardCase> guard_cases() {
  uint8_t* rgba = scratch().data();
  return {
      // layers
      void_case("CVL_MergeLayer", "MergeLayer Excpt", [] { CVL_MergeLayer(1, 2); }),
      void_case("CVL_InvertAlpha", "InvertAlpha Excpt", [] { CVL_InvertAlpha(2); }),
      void_case("CVL_NormalizeLayerAlpha", "NormalizeLayerAlpha Excpt", [] { CVL_NormalizeLayerAlpha(2); }),
      void_case("CVL_CopyLayerData", "CopyLayerData Excpt", [] { CVL_CopyLayerData(1, 3); }),
      void_case("CVL_SetLayerData", "SetLayerData Excpt", [] { CVL_SetLayerData(scratch16(), 2); }),
      int_case("CVL_SetRGBA64Layer", "SetRGBA64Layer Excpt",
               [] { return CVL_SetRGBA64Layer(scratch16(), kW * 8, 2); }),
      void_case("CVL_Clear", "Clear Excpt", [] { CVL_Clear(1, 2, 3, 4); }),
      void_case("CVL_ClearMasked", "ClearMasked Excpt", [] { CVL_ClearMasked(1, 2, 3, 4); }),
      int_case("CVL_LoadRGBA32", "LoadRGBA32 Excpt", [rgba] { return CVL_LoadRGBA32(rgba, kW * 4, 1); }),
      int_case("CVL_ClearMaskedAlpha", "ClearMaskedAlpha Excpt", [] { return CVL_ClearMaskedAlpha(1, 2, 3, 4); }),
      void_case("CVL_MergeRect", "MergeRect Excpt", [] { CVL_MergeRect(scratch16(), 0, 0, kW, kH); }),
      // mask and selection
      void_case("CVL_CreateMaskFromImage", "CreateMaskFromImage Excpt", [] { CVL_CreateMaskFromImage(); }),
      void_case("CVL_CreateImageFromMask", "CreateImageFromMask Excpt", [] { CVL_CreateImageFromMask(); }),
      void_case("CVL_CreateAlphaFromMask", "CreateAlphaFromMask Excpt", [] { CVL_CreateAlphaFromMask(); }),
      void_case("CVL_LoadMask", "LoadMask Excpt", [rgba] { CVL_LoadMask(rgba, kW * 3, kW, kH); }),
      void_case("CVL_InvertMask", "InvertMask Excpt", [] { CVL_InvertMask(); }),
      void_case("CVL_ClearMask", "ClearMask Excpt", [] { CVL_ClearMask(0, 0, 0); }),
      int_case("CVL_CreateMaskFromRGBAImageColor", "CreateMaskFromRGBAImageColor Excpt",
               [rgba] { return CVL_CreateMaskFromRGBAImageColor(rgba, 0x80, 0x80, 0x80, 100); }),
      int_case("CVL_CreateMaskFromFloodMask", "CreateMaskFromFloodMask Excpt",
               [rgba] { return CVL_CreateMaskFromFloodMask(rgba, 100); }),
      void_case("CVL_ColorRGBA32FromFloodMask", "ColorRGBA32FromFloodMask Excpt",
                [rgba] { CVL_ColorRGBA32FromFloodMask(rgba, rgba, 1, 2, 3, 4); }),
      // files and the new-RGBA buffer
      int_case("CVL_SetInNewRGBA", "SetInNewRGBA Excpt", [] { return CVL_SetInNewRGBA(); }),
      void_case("CVL_GetNewRGBA24", "GetNewRGBA24 Excpt", [rgba] { CVL_GetNewRGBA24(rgba); }),
      int_case("CVL_IsNewRGBA32Transparent", "IsNewRGBA32Transparent Excpt",
               [] { return CVL_IsNewRGBA32Transparent(); }),
      // effects, filters and the paint layer
      void_case("CVL_FilterBlendBuffer", "FilterBlendBuffer Excpt", [] { CVL_FilterBlendBuffer(1, 50); }),
      void_case("CVL_AdjustRGBA32PreFilter", "AdjustRGBA32PreFilter Excpt",
                [rgba] { CVL_AdjustRGBA32PreFilter(rgba, kW, kH); }),
      void_case("CVL_AdjustRGBA32ByMaskAndTexture", "AdjustRGBA32ByMaskAndTexture Excpt",
                [rgba] { CVL_AdjustRGBA32ByMaskAndTexture(rgba, kW, kH); }),
      void_case("CVL_MergePaintLayer", "MergePaintLayer Excpt", [] { CVL_MergePaintLayer(2); }),
      void_case("CVL_ClearPaintLayer", "ClearPaintLayer Excpt", [] { CVL_ClearPaintLayer(); }),
      int_case("CVL_DrawDabGrit", "DrawDabGrit Excpt", [] { return CVL_DrawDabGrit(30, 30, 0xFF00, 0, 0); }),
      void_case("CVL_WarpPointToPoint", "WarpPointToPoint Excpt", [] { CVL_WarpPointToPoint(10, 10, 20, 20); }),
      int_case("CVL_CalcSpline3", "CalcSpline3 Excpt", [] { return CVL_CalcSpline3(0, 0, 30, 60, 60, 0, 0); }),
      int_case("CVL_GetTotalPhyMemory", "GetTotalPhyMemory Excpt", [] { return CVL_GetTotalPhyMemory(); }),
      int_case("CVL_GetAvailVirMemory", "GetAvailVirMemory Excpt", [] { return CVL_GetAvailVirMemory(); }),
      int_case("CVL_GetWindowTextColor", "GetWindowTextColor Excpt", [] { return CVL_GetWindowTextColor(); }),
      void_case("CVL_RedrawWindow", "RedrawWindow Excpt", [] { CVL_RedrawWindow(nullptr); }),
      int_case("CVL_CreateBlobFromImage", "CreateBlobFromImage Excpt", [] { return CVL_CreateBlobFromImage(2, 0); }),
      int_case("CVL_CopyBlendBufferSurface", "CopyBlendBufferSurface Excpt",
               [] { return CVL_CopyBlendBufferSurface(10, 10, 100, 1); }),
      void_case("CVL_DeletePaintLayer", "DeletePaintLayer Excpt", [] { CVL_DeletePaintLayer(); }),
      void_case("CVL_DeleteTexture", "DeleteTexture Excpt", [] { CVL_DeleteTexture(); }),
      int_case("CVL_LoadRGBA32Layer", "LoadRGBA32Layer Excpt",
               [rgba] { return CVL_LoadRGBA32Layer(rgba, kW * 4, 2, 0, 0, kW, kH, 1); }),
      int_case("CVL_CopyFromImageBrushArray", "CopyFromImageBrushArray Excpt",
               [] { return CVL_CopyFromImageBrushArray(0.5f); }),
      // view
      void_case("CVL_Render", "Render Excpt", [rgba] { CVL_Render(rgba, kW * 3, 0, 0, kW, kH); }),
      // undo
      void_case("CVL_SaveUndoBackBuffer", "SaveUndoBackBuffer Excpt", [] { CVL_SaveUndoBackBuffer(2); }),
      void_case("CVL_ReduceUndo", "ReduceUndo Excpt", [] { CVL_ReduceUndo(1); }),
      void_case("CVL_SetUndoMB", "SetUndoMB Excpt", [] { CVL_SetUndoMB(0); }),
      // transfer
      int_case("CVL_GetRGBA32LayerLineRLE", "GetRGBA32LayerLineRLE Excpt",
               [rgba] { return CVL_GetRGBA32LayerLineRLE(rgba, 2, 3); }),
      int_case("CVL_PutRGBA32LayerLineRLE", "PutRGBA32LayerLineRLE Excpt",
               [rgba] { return CVL_PutRGBA32LayerLineRLE(rgba, 2, 3); }),
      int_case("CVL_GetMaskLineRLE", "GetMaskLineRLE Excpt", [rgba] { return CVL_GetMaskLineRLE(rgba, 3); }),
      int_case("CVL_RLECompressRGBA64ToRGBA32", "RLECompressRGBA64ToRGBA32 Excpt",
               [rgba] { return CVL_RLECompressRGBA64ToRGBA32(scratch16(), rgba + kW * 8 * 4, kW); }),
      int_case("CVL_GetRGBA32Layer", "GetRGBA32Layer Excpt", [rgba] { return CVL_GetRGBA32Layer(rgba, kW * 4, 2); }),
  };
}

// A canvas with three layers, a half mask, an undo step, a paint layer, the IPL
// images and a new-RGBA buffer, prepared without counting.
void prepare_guard_canvas() {
  reset_engine();
  CVL_CreateImage(nullptr, kW, kH, 32, 0);
  for (int32_t slot : {1, 2, 3}) CVL_CreateLayer(slot, kW, kH);
  CVL_SetLayer(2);
  CVL_SetUndoLevels(20);
  CVL_ClearMask(0, 0, 0);
  CVL_IPLMaskRectangle(0, 0, 31, 63, 100);
  CVL_EnableMask(1);
  CVL_SaveUndoBuffer(1, 1);
  CVL_SetSize(8);
  CVL_SetTool(1.0f, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, "", "", 0);
  CVL_CreatePaintLayer(100, "Normal");
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  std::fill(scratch().begin(), scratch().end(), uint8_t{0x80});
}

TEST_F(AllocationFailure, FormerlyBareCallsKeepTheirExceptionInside) {
  const std::vector<GuardCase> cases = guard_cases();
  ASSERT_GE(cases.size(), 15u);
  Injector& in = g_injector;
  int reached = 0;
  for (const GuardCase& c : cases) {
    prepare_guard_canvas();
    CVL_SetLastError("");
    in = Injector{};
    in.fail_at = 1;
    in.fail_rest = true;
    intptr_t result = 0;
    bool escaped = false;
    in.counting = true;
    try {
      result = c.run();
    } catch (...) {
      escaped = true;
    }
    in.counting = false;
    EXPECT_FALSE(escaped) << c.name << " let the exception out";
    if (!in.failed) continue;
    ++reached;
    const std::string text = CVL_GetLastError();
    EXPECT_TRUE(text == c.failure_text || text.empty()) << c.name << " recorded \"" << text << "\"";
    if (c.has_result) EXPECT_EQ(result, 0) << c.name << " returned " << result << " after the failure";
  }
  std::printf("calls once outside the catch-all: %zu, of which %d allocate on this canvas\n", cases.size(), reached);
  reset_engine();
}

}  // namespace

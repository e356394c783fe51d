// corvel_effect_table: every named effect timed as a host runs it, on one thread
// at 2048 x 2048 and 4096 x 4096, then a few heavy whole-layer jobs at one thread
// and at every thread of the machine. After Google Benchmark's own list it prints
// the effects sorted slowest first with the median, and the thread speed-ups.
//
//   corvel_effect_table [--table_out=FILE] [Google Benchmark flags]
//   --benchmark_filter='^effect/.*/2048/'  the one-thread table at 2048 alone
//   --benchmark_filter='^threads/'         the thread table alone
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_pictures.h"
#include "core/engine.h"
#include "corvel/corvel.h"
#include "tables/host_effect.h"
#include "tables/rate_collector.h"

namespace {

constexpr int kSizes[] = {2048, 4096};
constexpr int kThreadEdge = 2048;

// The effects whose cost dominates a session, timed at both thread counts.
constexpr const char* kHeavy[] = {"Gaussian Blur", "Oil Paint", "Median",       "Watercolor and Ink",
                                  "Glass",         "Zoom Blur", "Unsharp Mask", "Adjust Lab"};

// Whole-canvas jobs beside the effects in the thread table.
constexpr const char* kResize = "Resize Lanczos3 4096 to 2048";
constexpr const char* kMerge = "Merge 8 layers at half alpha";
// No effect has this name, so only the host's calls around it are timed.
constexpr const char* kFloor = "(host calls alone)";

std::string effect_name(const std::string& effect, int edge) { return "effect/" + effect + "/" + std::to_string(edge); }
std::string thread_name(const std::string& job, int threads) {
  return "threads/" + job + (threads == 1 ? "/t1" : "/tN");
}

// CVL_IPLResize halving a 4096 x 4096 layer, as bench/resize_bench.cpp times it;
// the rate counts source pixels.
void time_resize(benchmark::State& state, int threads) {
  constexpr int kEdge = 4096, kHalf = 2048;
  bench::effect_canvas().forget();
  CVL_SetThreadCount(threads);
  state.counters["threads"] = CVL_GetThreadCount();
  const auto& px = bench::painted_picture_4096();
  for (auto _ : state) {
    state.PauseTiming();
    CVL_DeleteImage();
    CVL_CreateImage(nullptr, kEdge, kEdge, 32, 0);
    CVL_CreateLayer(cvl::kBackgroundSlot, kEdge, kEdge);
    CVL_LoadRGBA32Layer(px.data(), kEdge * 4, cvl::kBackgroundSlot, 0, 0, kEdge, kEdge, 0);
    state.ResumeTiming();
    CVL_IPLResize(kHalf, kHalf, "Lanczos3");
  }
  if (cvl::engine().slot(cvl::kBackgroundSlot).width != kHalf) state.SkipWithError("the layer was not resized");
  CVL_DeleteImage();
  CVL_SetThreadCount(0);
  bench::set_rate(state, double(kEdge) * kEdge);
}

// CVL_Merge flattening 8 layers of varied colour at half alpha in Normal mode, as
// bench/composite_bench.cpp does at 4096 (kept to 2048 here so the table stays
// quick); the rate counts layer pixels.
void time_merge(benchmark::State& state, int threads) {
  constexpr int kEdge = 2048, kLayers = 8, kFirst = 2;
  constexpr size_t kPixels = size_t(kEdge) * kEdge;
  bench::effect_canvas().forget();
  CVL_CreateImage(nullptr, kEdge, kEdge, 32, 0);
  CVL_DeleteLayer(cvl::kBackgroundSlot);
  for (int i = 0; i < kLayers; ++i) {
    CVL_CreateLayer(kFirst + i, kEdge, kEdge);
    CVL_SetLayerOptions(kFirst + i, 1, 0, 100, "Normal");
    uint16_t* p = cvl::engine().slot(kFirst + i).data();
    for (size_t n = 0; n < kPixels; ++n, p += 4) {
      p[0] = uint16_t((n * 37 + size_t(i) * 4099) & 0xFF00);
      p[1] = uint16_t(((n >> 11) * 53 + size_t(i) * 811) << 8);
      p[2] = uint16_t((n * 11 + (n >> 11) * 7 + size_t(i) * 97) << 8);
      p[3] = 32768;
    }
  }
  std::vector<uint16_t> flat(kPixels * 4);
  CVL_SetThreadCount(threads);
  state.counters["threads"] = CVL_GetThreadCount();
  for (auto _ : state) {
    CVL_Merge(flat.data());
    benchmark::ClobberMemory();
  }
  CVL_DeleteImage();
  CVL_SetThreadCount(0);
  bench::set_rate(state, double(kPixels) * kLayers);
}

// Text gathered for the screen and, with --table_out, a file.
struct Text {
  std::string s;
  void operator()(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    s += line;
  }
};

std::string mpix(const bench::Rate* r) {
  if (!r) return "-";
  if (!r->error.empty()) return "error";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", r->mpix);
  return buf;
}

void effect_table(Text& out, const std::vector<bench::HostEffect>& effects, const bench::RateCollector& rates) {
  struct Line {
    const bench::HostEffect* e;
    const bench::Rate* at[2];
  };
  std::vector<Line> lines;
  bool any = false;
  for (const auto& e : effects) {
    Line l{&e, {rates.find(effect_name(e.name, kSizes[0])), rates.find(effect_name(e.name, kSizes[1]))}};
    any = any || l.at[0] || l.at[1];
    if (l.at[0] || l.at[1] || !e.built || !e.unknown.empty()) lines.push_back(l);
  }
  if (!any) return;
  // Sorted by the smaller size where it ran, else the larger; untimed lines last.
  const int key = std::any_of(lines.begin(), lines.end(), [](const Line& l) { return l.at[0]; }) ? 0 : 1;
  auto speed = [key](const Line& l) {
    const bench::Rate* r = l.at[key];
    return r && r->error.empty() ? r->mpix : 1e300;
  };
  std::stable_sort(lines.begin(), lines.end(), [&](const Line& a, const Line& b) { return speed(a) < speed(b); });
  out("\nEvery effect through CVL_IPLImageProcess on one thread, sliders mid-range, slowest first (Mpix/s, best of 3 runs at 2048^2)\n");
  out("%4s  %-36s %-23s %10s %10s  %s\n", "", "effect", "frame", "2048^2", "4096^2", "note");
  std::vector<double> timed[2];
  int rank = 0;
  for (const Line& l : lines) {
    std::string note;
    if (!l.e->built) note = "not built: the name does nothing";
    if (!l.e->unknown.empty()) note += "passed as 0, not understood here: " + l.e->unknown;
    for (int i = 0; i < 2; ++i) {
      if (l.at[i] && !l.at[i]->error.empty()) note += " " + l.at[i]->error;
      if (l.at[i] && l.at[i]->error.empty()) timed[i].push_back(l.at[i]->mpix);
    }
    out("%4d  %-36s %-23s %10s %10s  %s\n", ++rank, l.e->name.c_str(), l.e->frame.c_str(), mpix(l.at[0]).c_str(),
        mpix(l.at[1]).c_str(), note.c_str());
  }
  for (int i = 0; i < 2; ++i) {
    if (timed[i].empty()) continue;
    const double slowest = *std::min_element(timed[i].begin(), timed[i].end());
    const auto below = [&](double floor) {
      return std::count_if(timed[i].begin(), timed[i].end(), [floor](double v) { return v < floor; });
    };
    out("%d^2: %zu effects timed, median %.2f Mpix/s, slowest %.2f Mpix/s, %zd below 10 and %zd below 60 Mpix/s\n",
        kSizes[i], timed[i].size(), bench::median(timed[i]), slowest, below(10), below(60));
  }
  for (int edge : kSizes)
    if (const bench::Rate* r = rates.find(effect_name(kFloor, edge)))
      out("%d^2: the host's calls around a name that runs nothing (SetLayer, both buffers made and freed): %s Mpix/s\n",
          edge, mpix(r).c_str());
}

void thread_table(Text& out, const std::vector<std::string>& jobs, const bench::RateCollector& rates) {
  std::vector<double> speedups;
  double threads = 0;
  Text rows;
  for (const std::string& job : jobs) {
    const bench::Rate* one = rates.find(thread_name(job, 1));
    const bench::Rate* all = rates.find(thread_name(job, 0));
    if (!one && !all) continue;
    std::string gain = "-";
    if (one && all && one->error.empty() && all->error.empty() && one->mpix > 0) {
      speedups.push_back(all->mpix / one->mpix);
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.2fx", speedups.back());
      gain = buf;
    }
    if (all) threads = std::max(threads, all->threads);
    rows("%-36s %12s %12s %9s\n", job.c_str(), mpix(one).c_str(), mpix(all).c_str(), gain.c_str());
  }
  if (rows.s.empty()) return;
  out("\nWhole-layer jobs at one thread and at every thread (%g here), Mpix/s; effects at %d^2\n", threads,
      kThreadEdge);
  out("%-36s %12s %12s %9s\n", "job", "1 thread", "N threads", "speed-up");
  out.s += rows.s;
  if (!speedups.empty()) out("median speed-up %.2fx over %zu jobs\n", bench::median(speedups), speedups.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::string table_out;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--table_out=", 12) == 0) table_out = argv[i] + 12;
    else args.push_back(argv[i]);
  }
  int count = int(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  CVL_IPLInit(0);
  const std::vector<bench::HostEffect> effects = bench::every_effect();
  // Each size's effects run together, as a host works on one canvas: switching
  // sizes makes a new canvas, and the first call after that pays for fresh memory.
  for (int edge : kSizes) {
    for (const auto& e : effects) {
      if (!e.built) continue;
      auto* b = benchmark::RegisterBenchmark(effect_name(e.name, edge).c_str(),
                                             [&e, edge](benchmark::State& s) { bench::time_effect(s, e, edge, 1); });
      b->Unit(benchmark::kMillisecond)->UseRealTime();
      // One untimed call first, so that what is timed is the call a host makes again.
      // The slowest effects make a single call in 0.2 s, so the table keeps the best
      // of three runs, as the thread table does: one call's time swings by a tenth or
      // more on a shared machine. One run at the large size keeps the table to minutes.
      if (edge == kSizes[0]) b->MinWarmUpTime(0.01)->MinTime(0.2)->Repetitions(3);
      else b->Iterations(1);
    }
  }

  // The host's calls around a name that runs nothing: the ceiling no effect can
  // pass at that size, since every effect pays for the buffers too.
  static bench::HostEffect nothing;
  nothing.name = kFloor;
  for (int edge : kSizes)
    benchmark::RegisterBenchmark(effect_name(kFloor, edge).c_str(),
                                 [edge](benchmark::State& s) { bench::time_effect(s, nothing, edge, 1); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.2);

  // Each job's one-thread and all-thread runs take turns, five pairs, and the table
  // keeps each side's best: a few seconds in which the machine is busy elsewhere then
  // slow both sides of a pair alike rather than only one side of the speed-up.
  // `time(state, threads)` times the job; `iterations` 0 lets each run take 0.2 s.
  std::vector<std::string> jobs;
  const auto register_pairs = [&jobs](const std::string& job, auto time, int iterations) {
    constexpr int kPairs = 5;
    jobs.push_back(job);
    for (int pair = 0; pair < kPairs; ++pair)
      for (int threads : {1, 0}) {
        auto* b = benchmark::RegisterBenchmark(thread_name(job, threads).c_str(),
                                               [time, threads](benchmark::State& s) { time(s, threads); });
        b->Unit(benchmark::kMillisecond)->UseRealTime();
        if (iterations > 0) b->Iterations(iterations);
        else b->MinTime(0.2);
      }
  };
  for (const char* name : kHeavy) {
    auto it = std::find_if(effects.begin(), effects.end(), [&](const auto& e) { return e.name == name; });
    if (it == effects.end()) continue;
    const auto time = [e = &*it](benchmark::State& s, int threads) { bench::time_effect(s, *e, kThreadEdge, threads); };
    register_pairs(name, time, 0);
  }
  register_pairs(kResize, time_resize, 2);
  register_pairs(kMerge, time_merge, 0);

  // Colour and tabular counters as Google Benchmark's own reporter would choose them.
  int options = benchmark::ConsoleReporter::OO_None;
  bool colour = isatty(fileno(stdout));
  for (char* a : args) {
    if (std::strcmp(a, "--benchmark_counters_tabular=true") == 0) options |= benchmark::ConsoleReporter::OO_Tabular;
    if (std::strcmp(a, "--benchmark_color=false") == 0) colour = false;
    if (std::strcmp(a, "--benchmark_color=true") == 0) colour = true;
  }
  if (colour) options |= benchmark::ConsoleReporter::OO_Color;
  bench::RateCollector collector(static_cast<benchmark::ConsoleReporter::OutputOptions>(options));
  benchmark::RunSpecifiedBenchmarks(&collector);
  bench::effect_canvas().forget();
  benchmark::Shutdown();

  Text out;
  effect_table(out, effects, collector);
  thread_table(out, jobs, collector);
  std::fputs(out.s.c_str(), stdout);
  if (!table_out.empty()) {
    std::ofstream file(table_out);
    file << out.s;
    if (!file) {
      std::fprintf(stderr, "corvel_effect_table: could not write %s\n", table_out.c_str());
      return 1;
    }
  }
  return 0;
}

#include "imaging/parallel_bands.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace cvl::imaging {

namespace {

std::atomic<int> g_setting{0};
thread_local bool t_inside_band = false;

// Below this much work the threads cost more than they save: starting and joining
// one takes some tens of microseconds, the time of some tens of thousands of
// pixel-steps.
constexpr std::int64_t kDefaultBandWork = 1 << 16;
std::atomic<std::int64_t> g_band_work{kDefaultBandWork};

struct BandScope {
  bool was;
  BandScope() : was(t_inside_band) { t_inside_band = true; }
  ~BandScope() { t_inside_band = was; }
};

}  // namespace

void set_thread_count(int count) { g_setting.store(std::clamp(count, 0, kMaxThreads)); }

int thread_count_setting() { return g_setting.load(); }

int thread_count() {
  const int setting = g_setting.load();
  if (setting > 0) return setting;
  const unsigned hardware = std::thread::hardware_concurrency();
  return std::clamp(static_cast<int>(hardware), 1, kMaxThreads);
}

bool inside_band() { return t_inside_band; }

void set_band_work_floor(std::int64_t work) { g_band_work.store(work > 0 ? work : kDefaultBandWork); }

std::int64_t band_work_floor() { return g_band_work.load(); }

void for_each_band(int rows, std::int64_t work_per_row, const BandBody& body) {
  if (rows <= 0) return;
  const std::int64_t work = static_cast<std::int64_t>(rows) * std::max<std::int64_t>(work_per_row, 1);
  int bands = t_inside_band ? 1 : thread_count();
  bands = static_cast<int>(std::min<std::int64_t>({bands, rows, std::max<std::int64_t>(work / g_band_work.load(), 1)}));
  if (bands <= 1) {
    BandScope scope;
    body(0, rows);
    return;
  }
  std::exception_ptr failure;
  std::mutex failure_lock;
  auto run = [&](int band) {
    const int first = static_cast<int>(static_cast<std::int64_t>(rows) * band / bands);
    const int end = static_cast<int>(static_cast<std::int64_t>(rows) * (band + 1) / bands);
    try {
      BandScope scope;
      body(first, end);
    } catch (...) {
      std::lock_guard<std::mutex> hold(failure_lock);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> workers;
  workers.reserve(static_cast<size_t>(bands - 1));
  for (int band = 1; band < bands; ++band) {
    try {
      workers.emplace_back(run, band);
    } catch (const std::system_error&) {
      // No thread to be had: this thread takes the band itself.
      run(band);
    }
  }
  run(0);
  for (auto& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);
}

void for_each_run(std::size_t count, std::int64_t work_per_item, const RunBody& body) {
  constexpr std::size_t kRun = 4096;
  const int runs = static_cast<int>((count + kRun - 1) / kRun);
  for_each_band(runs, static_cast<std::int64_t>(kRun) * std::max<std::int64_t>(work_per_item, 1),
                [&](int first, int end) {
                  body(static_cast<std::size_t>(first) * kRun, std::min(count, static_cast<std::size_t>(end) * kRun));
                });
}

}  // namespace cvl::imaging

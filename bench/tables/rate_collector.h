// A console reporter that also keeps each benchmark's best Mpix/s (over its
// runs, repetitions or benchmarks registered under the same name) by that name, so the run can end with
// tables sorted by speed rather than Google Benchmark's list in run order.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct Rate {
  double mpix = 0;  // best over the runs
  double threads = 0;
  std::string error;
};

class RateCollector : public benchmark::ConsoleReporter {
 public:
  explicit RateCollector(OutputOptions options) : ConsoleReporter(options) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      Rate& rate = rates_[run.run_name.function_name];
      if (run.error_occurred) {
        rate.error = run.error_message;
        continue;
      }
      if (auto it = run.counters.find("Mpix/s"); it != run.counters.end())
        rate.mpix = std::max(rate.mpix, double(it->second));
      if (auto it = run.counters.find("threads"); it != run.counters.end()) rate.threads = it->second;
    }
  }

  // Null when the benchmark did not run (filtered out).
  const Rate* find(const std::string& name) const {
    auto it = rates_.find(name);
    return it == rates_.end() ? nullptr : &it->second;
  }

 private:
  std::map<std::string, Rate> rates_;
};

inline double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace bench

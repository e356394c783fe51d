#include "watch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace corvel_tool {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kQuietSeconds = 1.0;  // runs shorter than this print no line
constexpr double kGraceSeconds = 1.0;  // time a run has to stop by itself once Escape reports the limit

}  // namespace

Watch::Watch(std::string what, std::string unit, double limit_s)
    : what_(std::move(what)),
      unit_(std::move(unit)),
      limit_s_(limit_s),
      show_(isatty(fileno(stderr)) != 0),
      start_(Clock::now()) {
  if (show_ || limit_s_ > 0) thread_ = std::thread([this] { run(); });
}

Watch::~Watch() { stop(); }

double Watch::elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

void Watch::step(size_t done, size_t total) {
  done_ = done;
  total_ = total;
}

int32_t Watch::escape_entry(void* watch) {
  auto* w = static_cast<Watch*>(watch);
  if (w->limit_s_ > 0 && w->elapsed() >= w->limit_s_) w->timed_out_ = true;
  return w->timed_out_ ? 1 : 0;
}

int Watch::report_timeout() const {
  std::fprintf(stderr, "%s: timed out after %g s\n", what_.c_str(), limit_s_);
  return 1;
}

void Watch::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Watch::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!wake_.wait_for(lock, std::chrono::milliseconds(250), [this] { return stopping_; })) {
    const double t = elapsed();
    if (limit_s_ > 0 && t >= limit_s_) timed_out_ = true;
    // Work that never asks for Escape (an effect, a script that does not poll it) is ended here.
    if (limit_s_ > 0 && t >= limit_s_ + kGraceSeconds) {
      if (shown_) std::fputc('\n', stderr);
      report_timeout();
      std::fflush(stderr);
      std::_Exit(1);
    }
    if (!show_ || t < kQuietSeconds) continue;
    char line[160];
    const size_t done = done_, total = total_;
    int n = 0;
    if (total)
      n = std::snprintf(line, sizeof line, "%s: %zu of %zu %s, %.0f s", what_.c_str(), done, total, unit_.c_str(), t);
    else if (done) n = std::snprintf(line, sizeof line, "%s: %zu %s, %.0f s", what_.c_str(), done, unit_.c_str(), t);
    else n = std::snprintf(line, sizeof line, "%s: %.0f s", what_.c_str(), t);
    const size_t len = std::min(size_t(std::max(n, 0)), sizeof line - 1);
    std::fprintf(stderr, "\r%s%*s", line, int(shown_ > len ? shown_ - len : 0), "");
    std::fflush(stderr);
    shown_ = std::max(shown_, len);
  }
  if (shown_) std::fprintf(stderr, "\r%*s\r", int(shown_), "");
}

bool parse_seconds(const char* text, double& seconds) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (!*text || *end || !std::isfinite(v) || v <= 0 || v > 86400) return false;
  seconds = v;
  return true;
}

}  // namespace corvel_tool

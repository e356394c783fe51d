// A long run watched from a second thread: once it has taken a second, a line on
// standard error tells how far it is (only when standard error is a terminal);
// with a time limit, the host callbacks' Escape entry reports Escape pressed once
// the limit passes, and a run still going a moment later is ended.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace corvel_tool {

class Watch {
 public:
  // `what` leads the line ("corvel gallery"); `unit` names the steps ("pictures");
  // limit_s 0 runs without a limit.
  explicit Watch(std::string what, std::string unit = "", double limit_s = 0);
  ~Watch();
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

  // Steps done so far, of `total` when known (0: not known).
  void step(size_t done, size_t total = 0);
  // Ends the watch: the line is cleared and the limit no longer applies (call before writing results).
  void stop();
  // Whether the limit passed while the run went on.
  bool timed_out() const { return timed_out_; }
  // Prints "<what>: timed out after N s" and returns 1, the exit status of a run that timed out.
  int report_timeout() const;

  // The Escape entry of CVL_HostCallbacks, its user data a Watch.
  static int32_t escape_entry(void* watch);

 private:
  void run();
  double elapsed() const;

  const std::string what_, unit_;
  const double limit_s_;
  const bool show_;
  const std::chrono::steady_clock::time_point start_;
  std::atomic<size_t> done_{0}, total_{0};
  std::atomic<bool> timed_out_{false};
  size_t shown_ = 0;  // characters of the line on screen
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

// A time limit in seconds from the command line: a number above 0 and at most a day.
bool parse_seconds(const char* text, double& seconds);

}  // namespace corvel_tool

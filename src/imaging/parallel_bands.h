// Whole-image loops split into bands of rows, run on short-lived worker threads.
//
// A call hands its rows to `for_each_band`, which splits them into contiguous bands,
// runs the first on the calling thread and the others on threads that exist only
// until the bands are done, and returns when every band has finished. Nothing runs
// between calls, and a band never calls back into the host. A body must write only
// the rows of its own band (reading anything), so that the picture is the same word
// for word at every thread count; loops that carry state from row to row (recursive
// filters down a column, a random sequence) band by columns or stay serial.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace cvl::imaging {

// How many threads whole-image loops may use: 0 asks for one per hardware thread
// (the default), 1 keeps every loop on the calling thread. Values are clamped to
// 0..kMaxThreads.
constexpr int kMaxThreads = 64;
void set_thread_count(int count);
// The setting as given (0 = one per hardware thread).
int thread_count_setting();
// The threads a loop may use now, at least 1.
int thread_count();

// Runs body(first_row, end_row) over bands covering [0, rows). `work_per_row` is a
// rough cost of one row in pixel-steps: each band gets at least the work floor
// below, so small work, like calls made from inside a band, runs on the calling
// thread as one band. The first exception a band throws is thrown again here once
// every band has ended.
using BandBody = std::function<void(int first_row, int end_row)>;
void for_each_band(int rows, std::int64_t work_per_row, const BandBody& body);

// The same over `count` independent items (pixels of a packed image, say), in bands
// of whole runs of a few thousand: body(first_item, end_item).
using RunBody = std::function<void(std::size_t first_item, std::size_t end_item)>;
void for_each_run(std::size_t count, std::int64_t work_per_item, const RunBody& body);

// The least work a band is given (pixel-steps, default 65536).
// Tests lower it so that small pictures split into bands too.
void set_band_work_floor(std::int64_t work);
std::int64_t band_work_floor();

// True on a worker thread or the calling thread while it runs a band.
bool inside_band();

}  // namespace cvl::imaging

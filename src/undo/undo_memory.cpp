// The memory budget of the history: the limit and releasing records on demand.
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/engine.h"
#include "platform/system.h"
#include "undo/undo_records.h"
#include "undo/undo_store.h"

namespace cvl {

void recompute_undo_limit(const Engine& e) {
  UndoStore& u = undo_store();
  if (!u.undo_auto_limit) return;
  const platform::MemoryFigures m = platform::memory_figures();
  const uint64_t free_kib = std::min(m.available_physical, m.available_page_file) >> 10;
  const double x = static_cast<double>(free_kib) * 0.85 + e.undo_memory;
  const int64_t c = static_cast<int64_t>(e.canvas_width) * e.canvas_height / 1024;
  const int64_t limit = std::max(static_cast<int64_t>(std::trunc(x)) - 20 * c, 15 * c);
  u.undo_limit = static_cast<int32_t>(std::min<int64_t>(limit, std::numeric_limits<int32_t>::max()));
}

void set_undo_mb(const Engine& e, int32_t mb) {
  UndoStore& u = undo_store();
  if (mb == 0) {
    u.undo_auto_limit = 1;
    recompute_undo_limit(e);
    return;
  }
  u.undo_auto_limit = 0;
  u.undo_limit = static_cast<int32_t>(std::clamp<int64_t>(int64_t{mb} * 1024, std::numeric_limits<int32_t>::min(),
                                                          std::numeric_limits<int32_t>::max()));
}

int32_t recount_undo_memory(const Engine& e) {
  recompute_undo_limit(e);
  return undo_store().undo_limit;
}

int32_t undo_limit() { return undo_store().undo_limit; }

int32_t reduce_undo(Engine& e, int32_t kib) {
  UndoStore& u = undo_store();
  int32_t released_records = remove_abandoned_undo(e);
  int64_t released = 0;
  for (int32_t n = levels_in_use() - 1; n >= 0; --n) {
    UndoRecord& record = u.records[static_cast<size_t>(n)];
    if (!record.pixels) continue;
    if (released >= kib) break;
    released += record_charge(record);
    release_record(e, record);
    ++released_records;
  }
  return released_records;
}

}  // namespace cvl

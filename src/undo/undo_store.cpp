#include "undo/undo_store.h"

#include <algorithm>

#include "core/engine.h"

namespace cvl {

namespace {
int32_t g_undo_levels = 0;
}

void clear_undo() {}

int32_t set_undo_levels(int32_t levels) {
  clear_undo();
  g_undo_levels = std::min(levels, 500);
  return g_undo_levels;
}

int32_t can_undo() { return 0; }

int32_t recount_undo_memory() { return engine().undo_memory; }

}  // namespace cvl

#include "core/engine.h"

namespace cvl {

Engine& engine() {
  static Engine instance;
  return instance;
}

}  // namespace cvl

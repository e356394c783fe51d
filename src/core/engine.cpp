#include "core/engine.h"
#include "core/tool_settings.h"

namespace cvl {

Engine& engine() {
  static Engine instance;
  return instance;
}

ToolSettings& tool() {
  static ToolSettings instance;
  return instance;
}

}  // namespace cvl

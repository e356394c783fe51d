// Headless, the clipboard is a store inside the process.
#include <utility>

#include "platform/clipboard.h"

namespace cvl::platform::system_clipboard {
namespace {

std::vector<uint8_t>& store() {
  static std::vector<uint8_t> block;
  return block;
}

}  // namespace

bool put_dib(std::vector<uint8_t>& block) {
  store() = std::move(block);
  return true;
}

bool get_dib(std::vector<uint8_t>& block) {
  if (store().empty()) return false;
  block = store();
  return true;
}

void clear() { store().clear(); }

}  // namespace cvl::platform::system_clipboard

// A host that bridges the clipboard itself (its callback entries) is told of
// every block put and asked first for the block to get.
#include "platform/clipboard.h"

#include "platform/host_callbacks.h"

namespace cvl::platform {

bool clipboard_put_dib(std::vector<uint8_t> block) {
  if (block.empty()) return false;
  const CVL_HostCallbacks& host = host_callbacks();
  if (host.clipboard_set_dib) host.clipboard_set_dib(host.user_data, block.data(), static_cast<uint32_t>(block.size()));
  return system_clipboard::put_dib(block);
}

bool clipboard_get_dib(std::vector<uint8_t>& block) {
  const CVL_HostCallbacks& host = host_callbacks();
  if (host.clipboard_get_dib) {
    // A bridging host speaks for the desktop clipboard, which may have changed
    // since the engine last wrote to it.
    uint32_t size = 0;
    const uint8_t* data = host.clipboard_get_dib(host.user_data, &size);
    if (!data || size == 0) return false;
    block.assign(data, data + size);
    return true;
  }
  return system_clipboard::get_dib(block);
}

void clipboard_clear() { system_clipboard::clear(); }

}  // namespace cvl::platform

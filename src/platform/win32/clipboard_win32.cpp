// The desktop clipboard. A host that bridges the clipboard itself (its
// callback entries) is asked first, as on POSIX.
#include <windows.h>

#include <cstring>

#include "platform/clipboard.h"
#include "platform/host_callbacks.h"

namespace cvl::platform {
namespace {

// Wine and Windows both refuse OpenClipboard while another program holds it;
// a short retry rides over the moment a clipboard viewer reads it.
bool open_clipboard() {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

bool clipboard_put_dib(std::vector<uint8_t> block) {
  if (block.empty()) return false;
  const CVL_HostCallbacks& host = host_callbacks();
  if (host.clipboard_set_dib) host.clipboard_set_dib(host.user_data, block.data(), static_cast<uint32_t>(block.size()));
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
  if (!memory) return false;
  void* p = GlobalLock(memory);
  if (!p) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(p, block.data(), block.size());
  GlobalUnlock(memory);
  bool taken = false;
  if (open_clipboard()) {
    // Once the clipboard accepts the block it owns it.
    taken = EmptyClipboard() && SetClipboardData(CF_DIB, memory) != nullptr;
    CloseClipboard();
  }
  if (!taken) GlobalFree(memory);
  return taken;
}

bool clipboard_get_dib(std::vector<uint8_t>& block) {
  const CVL_HostCallbacks& host = host_callbacks();
  if (host.clipboard_get_dib) {
    uint32_t size = 0;
    const uint8_t* data = host.clipboard_get_dib(host.user_data, &size);
    if (!data || size == 0) return false;
    block.assign(data, data + size);
    return true;
  }
  if (!open_clipboard()) return false;
  bool got = false;
  if (HANDLE memory = GetClipboardData(CF_DIB)) {
    const size_t size = GlobalSize(memory);
    if (const auto* p = static_cast<const uint8_t*>(GlobalLock(memory))) {
      // The block is the clipboard's: copied while locked, never freed here.
      block.assign(p, p + size);
      got = size > 0;
      GlobalUnlock(memory);
    }
  }
  CloseClipboard();
  return got;
}

void clipboard_clear() {
  if (!open_clipboard()) return;
  EmptyClipboard();
  CloseClipboard();
}

}  // namespace cvl::platform

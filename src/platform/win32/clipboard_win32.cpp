// The desktop clipboard, holding the picture as CF_DIB.
#include <windows.h>

#include <cstring>

#include "platform/clipboard.h"

namespace cvl::platform::system_clipboard {
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

bool put_dib(std::vector<uint8_t>& block) {
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

bool get_dib(std::vector<uint8_t>& block) {
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

void clear() {
  if (!open_clipboard()) return;
  EmptyClipboard();
  CloseClipboard();
}

}  // namespace cvl::platform::system_clipboard

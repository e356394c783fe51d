// The whole screen through GDI, handed out as a top-down 32-bit CF_DIB block.
#include <windows.h>

#include <cstring>

#include "platform/screen_capture.h"

namespace cvl::platform {

bool capture_screen_dib(std::vector<uint8_t>& block) {
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  HDC memory = CreateCompatibleDC(screen);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HBITMAP bitmap = memory && w > 0 && h > 0 ? CreateCompatibleBitmap(screen, w, h) : nullptr;
  bool ok = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY) != 0;
    SelectObject(memory, old);
    if (ok) {
      BITMAPINFOHEADER header{};
      header.biSize = sizeof header;
      header.biWidth = w;
      header.biHeight = -h;  // top-down rows, as the screen is read
      header.biPlanes = 1;
      header.biBitCount = 32;
      header.biCompression = BI_RGB;
      const size_t row = size_t(w) * 4;
      block.assign(sizeof header + row * size_t(h), 0);
      std::memcpy(block.data(), &header, sizeof header);
      auto* info = reinterpret_cast<BITMAPINFO*>(block.data());
      ok = GetDIBits(memory, bitmap, 0, UINT(h), block.data() + sizeof header, info, DIB_RGB_COLORS) == h;
      // GetDIBits may rewrite the header (image size); keep ours, and make the
      // unused fourth byte opaque as the engine's DIB reader expects.
      std::memcpy(block.data(), &header, sizeof header);
      for (size_t i = sizeof header + 3; i < block.size(); i += 4) block[i] = 255;
    }
    DeleteObject(bitmap);
  }
  if (!ok) block.clear();
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace cvl::platform

// Scanning through the TWAIN helper library "EZTW32.dll", whose functions are
// reached by ordinal. Without the library there is no scanner.
#include <windows.h>

#include "platform/scanner.h"
#include "platform/shared_library.h"

namespace cvl::platform {
namespace {

constexpr WORD kAvailable = 26;     // (): non-zero when a source manager can be used
constexpr WORD kSelectSource = 38;  // (owner): the source dialog; non-zero on success
constexpr WORD kAcquire = 2;        // (owner, 4): a global memory DIB, or 0
constexpr WORD kFree = 17;          // (handle): releases what kAcquire returned

using AvailableFn = int(WINAPI*)();
using SelectFn = int(WINAPI*)(HWND);
using AcquireFn = HANDLE(WINAPI*)(HWND, int);
using FreeFn = void(WINAPI*)(HANDLE);

template <class Fn>
Fn ordinal(WORD n) {
  static void* library = library_open("EZTW32.dll");
  if (!library) return nullptr;
  return reinterpret_cast<Fn>(library_function(library, MAKEINTRESOURCEA(n)));
}

}  // namespace

bool scanner_available() {
  auto available = ordinal<AvailableFn>(kAvailable);
  return available && available() != 0;
}

bool scanner_select_source() {
  auto select = ordinal<SelectFn>(kSelectSource);
  return scanner_available() && select && select(nullptr) != 0;
}

std::vector<uint8_t> scanner_acquire() {
  std::vector<uint8_t> dib;
  auto acquire = ordinal<AcquireFn>(kAcquire);
  auto release = ordinal<FreeFn>(kFree);
  if (!scanner_available() || !acquire) return dib;
  HANDLE handle = acquire(nullptr, 4);
  if (!handle) return dib;
  if (const auto* p = static_cast<const uint8_t*>(GlobalLock(handle))) {
    dib.assign(p, p + GlobalSize(handle));
    GlobalUnlock(handle);
  }
  if (release) release(handle);
  return dib;
}

}  // namespace cvl::platform

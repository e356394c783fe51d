// The system clipboard as the engine sees it: one CF_DIB block (a
// BITMAPINFOHEADER, its masks or colour table, then the bits).
//
// Headless, the clipboard is a store inside the process; a host bridges it to
// the desktop through the clipboard entries of its callback table.
#pragma once

#include <cstdint>
#include <vector>

namespace cvl::platform {

// Hands the block to the clipboard; false when the clipboard did not take it.
bool clipboard_put_dib(std::vector<uint8_t> block);

// Copies the clipboard's block out; false when it holds no picture.
bool clipboard_get_dib(std::vector<uint8_t>& block);

// Empties the process store (tests, and hosts that want a clean start).
void clipboard_clear();

// The platform's own clipboard, reached when the host does not bridge it.
namespace system_clipboard {
bool put_dib(std::vector<uint8_t>& block);
bool get_dib(std::vector<uint8_t>& block);
void clear();
}  // namespace system_clipboard

}  // namespace cvl::platform

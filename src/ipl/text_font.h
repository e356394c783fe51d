// The text tool's font: one LOGFONTA record kept for the whole process,
// filled by the font chooser and read when text is drawn. It starts zeroed.
#pragma once

#include <cstdint>

#include "core/engine.h"
#include "platform/font_chooser.h"

namespace cvl {

#pragma pack(push, 1)
struct LogFontA {
  int32_t lfHeight;  // > 0: cell height in pixels, < 0: character height, 0: default
  int32_t lfWidth;   // average character width, 0: the face's own proportions
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;  // 0 default, 400 normal, 700 bold
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char lfFaceName[32];
};
#pragma pack(pop)
static_assert(sizeof(LogFontA) == platform::kLogFontBytes, "the record crosses the host boundary byte for byte");

LogFontA& text_font();

// Shows the font chooser starting from the stored font. A dialog failure is
// recorded as "Font Err: ..." and the chooser is shown once more from a blank
// record; the stored font only changes when a font is chosen. Returns the
// chooser's result (non-zero when the user chose).
int32_t choose_text_font(const Engine& canvas);

// The message recorded for a dialog failure code.
const char* font_error_text(uint32_t code);

}  // namespace cvl

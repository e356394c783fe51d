// Scanning through SANE. The library is started and stopped around every call, so
// that each one sees the devices present at that moment and no handle outlives it.
#include "platform/scanner.h"

#ifdef CORVEL_HAVE_SANE

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <cstring>
#include <string>

#include "codecs/dib.h"
#include "platform/device_dialogs.h"

namespace cvl::platform {
namespace {

std::string g_chosen_device;  // empty: the first device

// Larger scans than this are refused rather than risking the address space.
constexpr size_t kMaxScanBytes = size_t(1) << 30;

class SaneSession {
 public:
  SaneSession() { ok_ = sane_init(nullptr, nullptr) == SANE_STATUS_GOOD; }
  ~SaneSession() {
    if (handle_) sane_close(handle_);
    if (ok_) sane_exit();
  }
  SaneSession(const SaneSession&) = delete;
  SaneSession& operator=(const SaneSession&) = delete;

  std::vector<std::string> devices() const {
    std::vector<std::string> names;
    const SANE_Device** list = nullptr;
    if (!ok_ || sane_get_devices(&list, SANE_TRUE) != SANE_STATUS_GOOD || !list) return names;
    for (; *list; ++list)
      if ((*list)->name) names.emplace_back((*list)->name);
    return names;
  }
  SANE_Handle open(const std::string& name) {
    if (ok_ && sane_open(name.c_str(), &handle_) != SANE_STATUS_GOOD) handle_ = nullptr;
    return handle_;
  }

 private:
  bool ok_ = false;
  SANE_Handle handle_ = nullptr;
};

// Asks for colour when the device offers it; other devices scan in their own mode.
void prefer_colour(SANE_Handle h) {
  for (SANE_Int i = 1;; ++i) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
    if (!d) return;
    if (!d->name || std::strcmp(d->name, SANE_NAME_SCAN_MODE) != 0 || d->type != SANE_TYPE_STRING ||
        d->constraint_type != SANE_CONSTRAINT_STRING_LIST || !SANE_OPTION_IS_SETTABLE(d->cap))
      continue;
    for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s) {
      if (std::strcmp(*s, SANE_VALUE_SCAN_MODE_COLOR) != 0) continue;
      std::vector<char> value(size_t(d->size > 0 ? d->size : 0) + sizeof SANE_VALUE_SCAN_MODE_COLOR, 0);
      std::memcpy(value.data(), *s, std::strlen(*s));
      sane_control_option(h, i, SANE_ACTION_SET_VALUE, value.data(), nullptr);
      return;
    }
    return;
  }
}

// One frame's bytes, read until the device reports its end.
bool read_frame(SANE_Handle h, const SANE_Parameters& p, std::vector<uint8_t>& data) {
  data.clear();
  if (p.lines > 0 && p.bytes_per_line > 0 && size_t(p.lines) * size_t(p.bytes_per_line) <= kMaxScanBytes)
    data.reserve(size_t(p.lines) * size_t(p.bytes_per_line));
  SANE_Byte buf[65536];
  for (;;) {
    SANE_Int len = 0;
    const SANE_Status s = sane_read(h, buf, SANE_Int(sizeof buf), &len);
    if (s == SANE_STATUS_EOF) return true;
    if (s != SANE_STATUS_GOOD) return false;
    if (len < 0 || data.size() + size_t(len) > kMaxScanBytes) return false;
    data.insert(data.end(), buf, buf + len);
  }
}

// Sample c of pixel x in a line of the frame, as 8 bits.
uint8_t sample(const uint8_t* line, const SANE_Parameters& p, int channels, int32_t x, int c) {
  const size_t i = size_t(x) * channels + c;
  if (p.depth == 1) return (line[i / 8] >> (7 - i % 8)) & 1 ? 0 : 255;  // a set bit is black
  if (p.depth == 16) {
    uint16_t v;
    std::memcpy(&v, line + i * 2, 2);  // host byte order
    return uint8_t(v >> 8);
  }
  return line[i];
}

// Puts a frame into the RGB picture: all three channels, or the one it carries.
bool place_frame(const SANE_Parameters& p, const std::vector<uint8_t>& data, std::vector<uint8_t>& rgb, int32_t& width,
                 int32_t& height) {
  if (p.pixels_per_line <= 0 || p.bytes_per_line <= 0 || (p.depth != 1 && p.depth != 8 && p.depth != 16)) return false;
  const int channels = p.format == SANE_FRAME_RGB ? 3 : 1;
  if (uint64_t(p.pixels_per_line) * channels * p.depth > uint64_t(p.bytes_per_line) * 8) return false;
  const int32_t lines = int32_t(data.size() / size_t(p.bytes_per_line));
  if (lines <= 0) return false;
  if (rgb.empty()) {
    width = p.pixels_per_line;
    height = lines;
    if (size_t(width) * height * 3 > kMaxScanBytes) return false;
    rgb.assign(size_t(width) * height * 3, 0);
  } else if (width != p.pixels_per_line || height != lines) {
    return false;  // the frames of one colour scan must agree
  }
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* line = data.data() + size_t(y) * p.bytes_per_line;
    uint8_t* out = rgb.data() + size_t(y) * width * 3;
    for (int32_t x = 0; x < width; ++x, out += 3) {
      switch (p.format) {
        case SANE_FRAME_RGB:
          for (int c = 0; c < 3; ++c) out[c] = sample(line, p, 3, x, c);
          break;
        case SANE_FRAME_GRAY:
          out[0] = out[1] = out[2] = sample(line, p, 1, x, 0);
          break;
        case SANE_FRAME_RED:
        case SANE_FRAME_GREEN:
        case SANE_FRAME_BLUE:
          out[p.format - SANE_FRAME_RED] = sample(line, p, 1, x, 0);
          break;
        default:
          return false;
      }
    }
  }
  return true;
}

std::vector<uint8_t> scan(SANE_Handle h) {
  prefer_colour(h);
  std::vector<uint8_t> rgb, data;
  int32_t width = 0, height = 0;
  for (;;) {
    SANE_Parameters p{};
    if (sane_start(h) != SANE_STATUS_GOOD || sane_get_parameters(h, &p) != SANE_STATUS_GOOD) break;
    if (!read_frame(h, p, data) || !place_frame(p, data, rgb, width, height)) {
      rgb.clear();
      break;
    }
    if (p.last_frame) {
      sane_cancel(h);
      return imaging::make_dib24({rgb.data(), width, height, 3, width * 3});
    }
  }
  sane_cancel(h);
  return {};
}

}  // namespace

bool scanner_available() {
  SaneSession session;
  return !session.devices().empty();
}

bool scanner_select_source() {
  SaneSession session;
  const std::vector<std::string> names = session.devices();
  if (names.empty()) return false;
  std::vector<const char*> list;
  for (const std::string& n : names) list.push_back(n.c_str());
  const int32_t chosen = choose_scanner(list.data(), int32_t(list.size()));
  if (chosen < 0) return false;
  g_chosen_device = names[size_t(chosen)];
  return true;
}

std::vector<uint8_t> scanner_acquire() {
  SaneSession session;
  const std::vector<std::string> names = session.devices();
  if (names.empty()) return {};
  // The chosen device when it is still there, else the first.
  std::string name = names.front();
  for (const std::string& n : names)
    if (n == g_chosen_device) name = n;
  SANE_Handle h = session.open(name);
  return h ? scan(h) : std::vector<uint8_t>{};
}

}  // namespace cvl::platform

#else

// Built without SANE: there is never a scanner.
namespace cvl::platform {
bool scanner_available() { return false; }
bool scanner_select_source() { return false; }
std::vector<uint8_t> scanner_acquire() { return {}; }
}  // namespace cvl::platform

#endif

// The desktop clipboard of an X11 session, bridged to the engine's clipboard
// through the host callback table: `corvel copy` publishes an image as
// "image/bmp" until another program takes the clipboard, `corvel paste` asks
// the clipboard's owner for one and lets the engine read it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "corvel/corvel.h"

#ifdef CORVEL_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#endif

namespace corvel_tool {

#ifdef CORVEL_HAVE_X11
namespace {

// The engine speaks CF_DIB blocks; X11 programs exchange BMP files, which are
// the same block behind a 14-byte file header.
std::vector<uint8_t> dib_to_bmp(const uint8_t* dib, uint32_t size) {
  std::vector<uint8_t> bmp(14 + size_t(size));
  uint32_t header = 0, colours = 0, compression = 0;
  std::memcpy(&header, dib, 4);
  std::memcpy(&compression, dib + 16, 4);
  std::memcpy(&colours, dib + 32, 4);
  const uint32_t masks = (header == 40 && compression == 3) ? 12 : 0;
  const uint32_t offset = 14 + header + masks + colours * 4;
  const uint32_t total = uint32_t(bmp.size());
  bmp[0] = 'B', bmp[1] = 'M';
  std::memcpy(&bmp[2], &total, 4);
  std::memcpy(&bmp[10], &offset, 4);
  std::memcpy(&bmp[14], dib, size);
  return bmp;
}

struct X11Session {
  Display* display = nullptr;
  Window window = 0;
  Atom clipboard = 0, targets = 0, image_bmp = 0, property = 0;

  bool open() {
    display = XOpenDisplay(nullptr);
    if (!display) return false;
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    clipboard = XInternAtom(display, "CLIPBOARD", False);
    targets = XInternAtom(display, "TARGETS", False);
    image_bmp = XInternAtom(display, "image/bmp", False);
    property = XInternAtom(display, "CORVEL_CLIPBOARD", False);
    return true;
  }
  ~X11Session() {
    if (display) XCloseDisplay(display);
  }
  // Waits for the next event up to `ms` milliseconds; false on time-out.
  bool next_event(XEvent& ev, int ms) {
    if (XPending(display) == 0) {
      pollfd fd{ConnectionNumber(display), POLLIN, 0};
      if (poll(&fd, 1, ms) <= 0) return false;
    }
    XNextEvent(display, &ev);
    return true;
  }
};

std::vector<uint8_t> g_published;

void answer_request(X11Session& x, const XSelectionRequestEvent& req) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.requestor = req.requestor;
  reply.selection = req.selection;
  reply.target = req.target;
  reply.time = req.time;
  reply.property = None;
  if (req.target == x.targets) {
    const Atom offered[] = {x.targets, x.image_bmp};
    XChangeProperty(x.display, req.requestor, req.property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(offered), 2);
    reply.property = req.property;
  } else if (req.target == x.image_bmp && !g_published.empty()) {
    XChangeProperty(x.display, req.requestor, req.property, x.image_bmp, 8, PropModeReplace, g_published.data(),
                    int(g_published.size()));
    reply.property = req.property;
  }
  XSendEvent(x.display, req.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
  XFlush(x.display);
}

}  // namespace

int run_copy(const char* in_path, int seconds) {
  X11Session x;
  if (!x.open()) {
    std::fprintf(stderr, "corvel: no X11 display to copy to\n");
    return 1;
  }
  if (!read_into_engine(in_path)) return 1;
  CVL_HostCallbacks table{};
  table.size = sizeof table;
  table.clipboard_set_dib = [](void*, const uint8_t* dib, uint32_t size) { g_published = dib_to_bmp(dib, size); };
  CVL_SetHostCallbacks(&table);
  const int32_t w = CVL_GetNewRGBAWidth(), h = CVL_GetNewRGBAHeight();
  std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 4);
  CVL_GetNewRGBA32(pixels.data());
  CVL_RGBA32ToClipboardRect(pixels.data(), 0, 0, w, h);
  CVL_SetHostCallbacks(nullptr);
  XSetSelectionOwner(x.display, x.clipboard, x.window, CurrentTime);
  if (XGetSelectionOwner(x.display, x.clipboard) != x.window) {
    std::fprintf(stderr, "corvel: the X11 clipboard was not handed over\n");
    return 1;
  }
  std::printf("corvel: %s (%d x %d) is on the clipboard; serving for %d s or until replaced\n", in_path, w, h,
              seconds);
  std::fflush(stdout);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    XEvent ev;
    if (!x.next_event(ev, 100)) continue;
    if (ev.type == SelectionRequest) answer_request(x, ev.xselectionrequest);
    if (ev.type == SelectionClear) break;
  }
  return 0;
}

int run_paste(const char* out_path) {
  X11Session x;
  if (!x.open()) {
    std::fprintf(stderr, "corvel: no X11 display to paste from\n");
    return 1;
  }
  XConvertSelection(x.display, x.clipboard, x.image_bmp, x.property, x.window, CurrentTime);
  XFlush(x.display);
  XEvent ev;
  bool notified = false;
  for (int i = 0; i < 50 && !notified; ++i)
    if (x.next_event(ev, 100) && ev.type == SelectionNotify) notified = true;
  if (!notified || ev.xselection.property == None) {
    std::fprintf(stderr, "corvel: the X11 clipboard holds no image\n");
    return 1;
  }
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  XGetWindowProperty(x.display, x.window, x.property, 0, 0x7FFFFFFF / 4, True, AnyPropertyType, &type, &format,
                     &count, &after, &data);
  static std::vector<uint8_t> dib;
  if (data && format == 8 && count > 14 && data[0] == 'B' && data[1] == 'M') dib.assign(data + 14, data + count);
  if (data) XFree(data);
  CVL_HostCallbacks table{};
  table.size = sizeof table;
  table.clipboard_get_dib = [](void*, uint32_t* size) -> const uint8_t* {
    *size = uint32_t(dib.size());
    return dib.empty() ? nullptr : dib.data();
  };
  CVL_SetHostCallbacks(&table);
  const int32_t ok = CVL_FromClipboard();
  CVL_SetHostCallbacks(nullptr);
  if (!ok) {
    std::fprintf(stderr, "corvel: the clipboard's image could not be read\n");
    return 1;
  }
  const int32_t w = CVL_GetNewRGBAWidth(), h = CVL_GetNewRGBAHeight();
  std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 4);
  CVL_GetNewRGBA32(pixels.data());
  CVL_DeleteNewRGBA();
  if (!CVL_WriteToFileRGBA32(pixels.data(), w, h, out_path, ".png", 96)) {
    std::fprintf(stderr, "corvel: cannot write %s\n", out_path);
    return 1;
  }
  std::printf("corvel: pasted %d x %d into %s\n", w, h, out_path);
  return 0;
}

#else

int run_copy(const char*, int) {
  std::fprintf(stderr, "corvel: built without X11\n");
  return 1;
}
int run_paste(const char*) {
  std::fprintf(stderr, "corvel: built without X11\n");
  return 1;
}

#endif

}  // namespace corvel_tool

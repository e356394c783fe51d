// libjpeg reports fatal errors through a callback that must not return; ours jumps
// back to the caller's setjmp instead of ending the process, and stays quiet.
#pragma once

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <csetjmp>

namespace cvl::imaging {

struct JpegErrorTrap {
  jpeg_error_mgr mgr;
  jmp_buf jump;

  // Installs the trap as `err`; `on_message` sees warnings and traces.
  jpeg_error_mgr* install(void (*on_message)(j_common_ptr, int) = [](j_common_ptr, int) {}) {
    jpeg_std_error(&mgr);
    mgr.error_exit = [](j_common_ptr cinfo) { longjmp(reinterpret_cast<JpegErrorTrap*>(cinfo->err)->jump, 1); };
    mgr.emit_message = on_message;
    return &mgr;
  }
};

}  // namespace cvl::imaging

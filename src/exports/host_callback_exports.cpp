// The host's table of dialogs and desktop services.
#include "corvel/corvel.h"
#include "platform/host_callbacks.h"

extern "C" {

CVL_API void CVL_CALL CVL_SetHostCallbacks(const CVL_HostCallbacks* callbacks) {
  cvl::platform::set_host_callbacks(callbacks);
}

}  // extern "C"

/* photo_effect: open a photo, run a named effect and a Lua filter, save.
 *
 * Reads PHOTO into a canvas of its own size, turns it with "Spin", runs the Lua
 * filter SCRIPT over the result in the sandbox, and saves the page as a PNG.
 * Each step is one undo record.
 *
 *   photo_effect OUT.png PHOTO SCRIPT.lua
 */
#include <stdio.h>

#include <corvel/corvel.h>

enum { kLayer = 2 };

static int fail(const char* what) {
  fprintf(stderr, "photo_effect: %s: %s\n", what, CVL_GetLastError());
  CVL_DeleteImage();
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: photo_effect OUT.png PHOTO SCRIPT.lua\n");
    return 2;
  }
  const char *out = argv[1], *photo = argv[2], *script = argv[3];

  /* The photo goes to the new-RGBA buffer first; its size gives the canvas's. */
  if (!CVL_ReadFromFile(photo)) {
    fprintf(stderr, "photo_effect: cannot read %s\n", photo);
    return 1;
  }
  const int width = CVL_GetNewRGBAWidth(), height = CVL_GetNewRGBAHeight();
  CVL_CreateImage(NULL, width, height, 64, 0);
  CVL_SetUndoLevels(16);
  CVL_IPLInit(0);
  if (!CVL_CreateLayer(1, width, height) || !CVL_CreateLayer(kLayer, width, height)) return fail("no layers");
  CVL_SetLayerOptions(1, 1, 0, 100, "Normal");
  CVL_SetLayerOptions(kLayer, 1, 0, 100, "Normal");
  CVL_SetLayer(kLayer);
  CVL_SetInNewRGBA();
  CVL_DeleteNewRGBA();
  CVL_SaveUndoBuffer(1, 0);

  /* A named effect: both RGBA32 working buffers, then the call. Sliders are in
   * tenths: Spin's s1 at 75 of 100 turns the centre by 90 degrees (50 would not
   * turn it), s2 reaches half the shorter side, s3 and s4 put the centre mid-picture. */
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  const int spun = CVL_IPLImageProcess(0, "Spin", 0, 750, 500, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  if (!spun) return fail("Spin did not run");
  CVL_SaveUndoBuffer(1, 0);

  /* A Lua filter in the sandbox: the script sees the layer through get_rgb/set_rgb. */
  CVL_SetLuaSandbox(1);
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  CVL_LuaFilterRun(script, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  CVL_SaveUndoBuffer(1, 0);
  printf("undo steps: %d\n", CVL_GetUndoCount());

  CVL_SetLastError(NULL);
  CVL_SavePageToFileRGB24(out, ".png", 72); /* 0 whatever happens; a failure leaves its text */
  if (CVL_GetLastError()[0]) return fail("the page was not written");
  printf("wrote %s (%d x %d)\n", out, width, height);
  CVL_IPLExit();
  CVL_DeleteImage();
  return 0;
}

/* corvel: a raster painting engine with 16-bit layers.
 *
 * Every export is a plain C function. Images cross the boundary as caller-owned
 * byte buffers: RGB24 (R, G, B), RGBA32 (R, G, B, A), RGBA64 (four 16-bit words
 * R, G, B, A) and 16-bit mask planes. Strides are in bytes unless a name says
 * otherwise. 8-bit values widen by v * 256; 16-bit values narrow to the high byte.
 * Calls that fail record "<Name> Excpt" (readable with CVL_GetLastError).
 *
 * The engine holds one canvas per process, and every call must come from one
 * thread: the host's. Sections below open with their call order; exports that
 * hosts on every platform gained beyond the original set are marked "added".
 */
#ifndef CORVEL_CORVEL_H
#define CORVEL_CORVEL_H

#include <stdint.h>

/* The engine's version; CMake reads the project's version from these three lines. */
#define CORVEL_VERSION_MAJOR 0
#define CORVEL_VERSION_MINOR 1
#define CORVEL_VERSION_PATCH 0

#if defined(_WIN32)
#  if defined(CORVEL_BUILDING)
/* corvel.dll exports by its .def file, which gives the 32-bit __stdcall
 * functions their plain names; marking them dllexport as well would add the
 * decorated ones. */
#    define CVL_API
#  else
#    define CVL_API __declspec(dllimport)
#  endif
#  if defined(_M_IX86) || defined(__i386__)
#    define CVL_CALL __stdcall
#  else
#    define CVL_CALL
#  endif
#else
#  define CVL_API __attribute__((visibility("default")))
#  define CVL_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/** @name Canvas, engine state and host utilities
 * Start here: CVL_CreateImage makes the one canvas a process holds (call it before anything else,
 * from the thread that makes every later call) and CVL_DeleteImage ends it. Every failure leaves a
 * text for CVL_GetLastError; the memory, window and allocator calls work at any time.
 * @{ */

CVL_API void CVL_CALL CVL_CreateImage(void* owner, int32_t width, int32_t height, int32_t brush_capacity, int32_t reserved); /**< new canvas; sizes <0 or >10000 become 100 */
CVL_API void CVL_CALL CVL_NewSize(void* owner, int32_t width, int32_t height, int32_t brush_capacity, int32_t reserved); /**< resize: per-canvas buffers made anew, layers untouched */
CVL_API void CVL_CALL CVL_DeleteImage(void); /**< releases every canvas buffer and layer */
CVL_API void CVL_CALL CVL_SetLastError(const char* text); /**< keeps at most 511 characters */
CVL_API const char* CVL_CALL CVL_GetLastError(void); /**< the last failure text */
CVL_API const char* CVL_CALL CVL_GetVersion(void); /**< added: the loaded engine's version, "major.minor.patch" */
CVL_API int32_t CVL_CALL CVL_IsDisplayChanged(void); /**< 1 once after a display change, else 0 */
CVL_API void CVL_CALL CVL_SetRandomSeed(int32_t seed); /**< seed of every random table and pattern */
CVL_API void CVL_CALL CVL_SetStartDir(const char* path); /**< base directory; paths of 1024+ characters are ignored */
CVL_API int32_t CVL_CALL CVL_SetUndoLevels(int32_t levels); /**< clears history, stores min(levels, 500) */
CVL_API void CVL_CALL CVL_SetScale(int32_t x, int32_t y); /**< view zoom */
CVL_API void CVL_CALL CVL_SetOffset(int32_t x, int32_t y); /**< view offset */
CVL_API void CVL_CALL CVL_SetViewSize(int32_t width, int32_t height); /**< host view size in output pixels */
CVL_API int32_t CVL_CALL CVL_GetTotalUndoMemory(void); /**< the undo memory limit, recomputed, MiB */
CVL_API int32_t CVL_CALL CVL_GetCurrentUndoMemory(void); /**< undo memory, MiB */
CVL_API int32_t CVL_CALL CVL_GetTotalPhyMemory(void); /**< MiB */
CVL_API int32_t CVL_CALL CVL_GetAvailPhyMemory(void); /**< MiB */
CVL_API int32_t CVL_CALL CVL_GetTotalPgMemory(void); /**< MiB */
CVL_API int32_t CVL_CALL CVL_GetAvailPgMemory(void); /**< MiB */
CVL_API int32_t CVL_CALL CVL_GetTotalVirMemory(void); /**< MiB */
CVL_API int32_t CVL_CALL CVL_GetAvailVirMemory(void); /**< MiB */
CVL_API void CVL_CALL CVL_SetGrid(int32_t value); /**< accepted and ignored */
CVL_API void CVL_CALL CVL_SetGridSpacing(int32_t value); /**< accepted and ignored */
CVL_API int32_t CVL_CALL CVL_GetWindowBackgroundColor(void); /**< button-face colour, 0x00BBGGRR */
CVL_API int32_t CVL_CALL CVL_GetWindowTextColor(void); /**< button-text colour, 0x00BBGGRR */
CVL_API void CVL_CALL CVL_SetWindowRedraw(void* window, int32_t on); /**< WM_SETREDRAW with the low byte of on; no effect on POSIX */
CVL_API void CVL_CALL CVL_RedrawWindow(void* window); /**< repaints the whole window, frame and children; no effect on POSIX */
CVL_API void* CVL_CALL CVL_Alloc(int32_t size); /**< malloc */
CVL_API void CVL_CALL CVL_Free(void* block); /**< free unless null */
CVL_API void CVL_CALL CVL_Memcpy(void* dst, const void* src, int32_t length); /**< memmove; nothing when either is null */
CVL_API void* CVL_CALL BankAdrs(void* address); /**< returns its argument */
CVL_API void CVL_CALL CVL_NotifyDisplayChanged(void); /**< added: a host without a hidden window reports a display change */
CVL_API void CVL_CALL CVL_SetThreadCount(int32_t count); /**< added: threads for whole-layer work: 0 one per hardware thread (the default), 1 the calling thread alone, at most 64; results are the same at every count */
CVL_API int32_t CVL_CALL CVL_GetThreadCount(void); /**< added: the threads whole-layer work uses now, at least 1 */
/** @} */

/** @name Pixel conversions between caller buffers
 * Plain conversions between buffers the caller owns; they need no canvas beyond its size for the
 * canvas-sized ones. Use them to prepare pixels before loading or after reading layers.
 * @{ */

CVL_API void CVL_CALL CVL_RGBToRGBA(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src); /**< RGB copied, dst alpha kept */
CVL_API void CVL_CALL CVL_RGBAToRGB(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src); /**< drops alpha */
CVL_API void CVL_CALL CVL_RGBAlphaToRGB(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src); /**< alpha as grey */
CVL_API void CVL_CALL CVL_RGBToRGBAlpha(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src); /**< alpha = (R+G+B)/3 */
CVL_API void CVL_CALL CVL_RGBA64RectToRGBA32(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height, int32_t src_stride_pixels, int32_t ignored, uint8_t* dst); /**< narrows a rectangle */
CVL_API void CVL_CALL CVL_RGBA64RectToRGBA24(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height, int32_t src_stride_pixels, int32_t ignored, uint8_t* dst); /**< narrows a rectangle, no alpha */
CVL_API void CVL_CALL CVL_GetRGB24FromRGBA64Rect(uint8_t* dst, int32_t dst_stride, const uint16_t* src, int32_t src_stride, int32_t x, int32_t y, int32_t width, int32_t height); /**< pointers address the rectangle */
CVL_API void CVL_CALL CVL_GetRGBA32FromRGBA64Rect(uint8_t* dst, int32_t dst_stride, const uint16_t* src, int32_t src_stride, int32_t x, int32_t y, int32_t width, int32_t height); /**< with alpha */
CVL_API void CVL_CALL CVL_GetRGB24FromRGBA64(uint8_t* dst, int32_t dst_stride, const uint16_t* src, int32_t src_stride); /**< whole canvas */
CVL_API void CVL_CALL CVL_GetRGBA32FromRGBA64(uint8_t* dst, int32_t dst_stride, int32_t width, int32_t height, const uint16_t* src, int32_t src_stride); /**< width x height */
CVL_API void CVL_CALL CVL_ClearRGBA64(uint16_t* buffer, int32_t stride, int32_t r, int32_t g, int32_t b, int32_t a); /**< canvas-sized fill, 16-bit */
CVL_API void CVL_CALL CVL_ClearRGBA32(uint8_t* buffer, int32_t stride, int32_t r, int32_t g, int32_t b, int32_t a); /**< canvas-sized fill, 8-bit */
CVL_API void CVL_CALL CVL_ClearRGBA32Buf(uint8_t* buffer, int32_t width, int32_t height, int32_t r, int32_t g, int32_t b, int32_t a); /**< packed fill */
CVL_API void CVL_CALL CVL_InvertAlpha_RGBA32(uint8_t* buffer); /**< canvas-sized, alpha = 255 - alpha */
/** @} */

/** @name Loading into layers
 * After CVL_CreateLayer and CVL_SetLayer, these put caller pixels into the current layer (or a named
 * slot). Call CVL_SaveUndoBuffer first when the change should be undoable.
 * @{ */

CVL_API void CVL_CALL CVL_Load(const uint8_t* src_bgr, int32_t src_stride, int32_t width, int32_t height); /**< B,G,R rows into the current layer, opaque */
CVL_API void CVL_CALL CVL_LoadRGB24(const uint8_t* src, int32_t src_stride, int32_t use_selection); /**< replaces colour, keeps alpha */
CVL_API void CVL_CALL CVL_LoadRGB24ToAlpha(const uint8_t* src, int32_t src_stride, int32_t use_selection); /**< R byte into visible alphas */
CVL_API int32_t CVL_CALL CVL_SetRGBA64Layer(const uint16_t* src, int32_t src_stride, int32_t layer); /**< canvas height, or 0 */
CVL_API void CVL_CALL CVL_SetLayerData(const uint16_t* src, int32_t layer); /**< verbatim canvas-sized copy in */
CVL_API void CVL_CALL CVL_CopyLayerData(int32_t from_layer, int32_t to_layer); /**< layer pixels over another's */
CVL_API void CVL_CALL CVL_SetPixelRGB24(uint8_t* buffer, int32_t stride, int32_t x, int32_t y, int32_t r16, int32_t g16, int32_t b16); /**< one pixel of a caller RGB24 buffer */
CVL_API void CVL_CALL CVL_Clear(int32_t r, int32_t g, int32_t b, int32_t a); /**< fills the current layer */
CVL_API void CVL_CALL CVL_ClearMasked(int32_t r, int32_t g, int32_t b, int32_t a); /**< fill weighted by the mask */
/** @} */

/** @name Reading layers and probing pixels
 * Read any layer, the flattened surface or the mask back out, whole or by rectangle, or probe one
 * pixel (a colour picker). They never change the canvas.
 * @{ */

CVL_API void CVL_CALL CVL_GetRGB24(uint8_t* dst, int32_t dst_stride); /**< current layer */
CVL_API int32_t CVL_CALL CVL_GetRGB24Layer(uint8_t* dst, int32_t dst_stride, int32_t layer); /**< canvas height, or 0 */
CVL_API void CVL_CALL CVL_GetRGB24FromAlpha(uint8_t* dst, int32_t dst_stride); /**< alpha as grey */
CVL_API int32_t CVL_CALL CVL_GetRGBA32Layer(uint8_t* dst, int32_t dst_stride, int32_t layer); /**< canvas height, or 0 */
CVL_API void CVL_CALL CVL_GetRGBA32(uint8_t* dst, int32_t dst_stride); /**< current layer */
CVL_API void CVL_CALL CVL_GetRGBA64LayerRect(uint16_t* dst, int32_t dst_stride, int32_t layer, int32_t x, int32_t y, int32_t width, int32_t height); /**< verbatim rectangle */
CVL_API void CVL_CALL CVL_GetRGBA64Layer(uint16_t* dst, int32_t dst_stride, int32_t layer); /**< whole canvas */
CVL_API void CVL_CALL CVL_GetLayerData(uint16_t* dst, int32_t layer); /**< verbatim canvas-sized copy out */
CVL_API void CVL_CALL CVL_FindDataExtentsLayer(int32_t layer, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom); /**< box of non-transparent pixels */
CVL_API int32_t CVL_CALL CVL_GetRed64(int32_t x, int32_t y); /**< 0 outside the canvas */
CVL_API int32_t CVL_CALL CVL_GetGreen64(int32_t x, int32_t y); /**< green word at (x, y); 0 outside the canvas */
CVL_API int32_t CVL_CALL CVL_GetBlue64(int32_t x, int32_t y); /**< blue word at (x, y); 0 outside the canvas */
CVL_API int32_t CVL_CALL CVL_GetAlpha64(int32_t x, int32_t y); /**< alpha word at (x, y); 0 outside the canvas */
CVL_API int32_t CVL_CALL CVL_GetMask64(int32_t x, int32_t y); /**< 65535 - mask word, 0 when inactive */
CVL_API int32_t CVL_CALL CVL_GetMaskData16(uint16_t* dst); /**< canvas mask out; returns the bytes copied */
CVL_API int32_t CVL_CALL CVL_SetMaskData16(const uint16_t* src); /**< canvas mask in; returns the bytes copied */
CVL_API int32_t CVL_CALL CVL_GetRGBAAt(int32_t x, int32_t y, const uint16_t* image); /**< R<<24|G<<16|B<<8|A, clamped */
CVL_API int32_t CVL_CALL CVL_GetRGBAAtSurface(int32_t x, int32_t y); /**< CVL_GetRGBAAt on the flattened surface */
CVL_API int32_t CVL_CALL CVL_GetRGBAAtUnderLayer(int32_t x, int32_t y); /**< CVL_GetRGBAAt on the under-layer */
CVL_API int32_t CVL_CALL CVL_GetRGBAAtTrace(int32_t x, int32_t y); /**< CVL_GetRGBAAt on the trace layer */
CVL_API int32_t CVL_CALL CVL_GetRGBAAtLayer(int32_t x, int32_t y, int32_t layer); /**< CVL_GetRGBAAt on a layer slot */
CVL_API int32_t CVL_CALL CVL_GetColorAt(int32_t x, int32_t y, const uint16_t* image); /**< R<<16|G<<8|B, -1 when transparent */
CVL_API int32_t CVL_CALL CVL_GetColorAtSurface(int32_t x, int32_t y); /**< CVL_GetColorAt on the flattened surface */
CVL_API int32_t CVL_CALL CVL_GetColorAtUnderLayer(int32_t x, int32_t y); /**< CVL_GetColorAt on the under-layer */
CVL_API int32_t CVL_CALL CVL_GetColorAtTrace(int32_t x, int32_t y); /**< CVL_GetColorAt on the trace layer */
CVL_API int32_t CVL_CALL CVL_GetColorAtLayer(int32_t x, int32_t y, int32_t layer); /**< CVL_GetColorAt on a layer slot */
CVL_API int32_t CVL_CALL CVL_GetColorAtHistory(int32_t x, int32_t y); /**< under-layer colour while undo is possible */
/** @} */

/** @name Colour processing
 * Hue, saturation and value or lightness changes on a caller's RGBA32 buffer.
 * @{ */

CVL_API int32_t CVL_CALL CVL_ProcessBuffer_HSVAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hue, int32_t saturation, int32_t value); /**< RGBA32 hue shift (degrees), saturation and value change (percent); greys stay grey; returns width */
CVL_API int32_t CVL_CALL CVL_ProcessBuffer_HSLAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hue, int32_t saturation, int32_t lightness); /**< the same in HSL; returns width */
/** @} */

/** @name RGBA32 loaders
 * 8-bit RGBA pictures into layers, clipped to the canvas, honouring locked alpha and, when asked,
 * the selection.
 * @{ */

CVL_API int32_t CVL_CALL CVL_LoadRGBA32Layer(const uint8_t* src, int32_t src_stride, int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height, int32_t use_selection); /**< RGBA32 into a layer at (x, y), clipped; honours lockAlpha and, with the flag, mask and texture */
CVL_API int32_t CVL_CALL CVL_LoadRGBA32Into(const uint8_t* src, int32_t src_stride, int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height); /**< CVL_LoadRGBA32Layer through the selection */
CVL_API int32_t CVL_CALL CVL_LoadRGBA32(const uint8_t* src, int32_t src_stride, int32_t use_selection); /**< into the current layer at (0, 0) */
CVL_API void CVL_CALL CVL_LoadRGBA32Layer_BAD(uint8_t* image, int32_t ignored, int32_t slot, int32_t width, int32_t height, int32_t use_selection); /**< composites a canvas-sized image after clearing the current layer under the mask */
CVL_API int32_t CVL_CALL CVL_ClearMaskedAlpha(int32_t r, int32_t g, int32_t b, int32_t a); /**< fills the current layer through the mask; 0 when out of memory */
/** @} */

/** @name Tool settings and brush tips
 * Describe the brush before a stroke: CVL_SetTool with its sixteen arguments, then CVL_SetSize,
 * CVL_SetColor and the modes below. The settings hold until changed; CVL_SetScaleSize may change the
 * dab size between dabs (for pressure).
 * @{ */

CVL_API void CVL_CALL CVL_SetTool(float tip_strength, int32_t grit_dot_size, int32_t grit_dot_chance, int32_t grit_dot_fill, int32_t tip_softness, int32_t color_vary, int32_t drawing_length, int32_t blend_strength, int32_t blend_primary_strength, int32_t blend_remix, int32_t flag11, int32_t tip_invert, int32_t flag13, const char* grit_path, const char* tip_path, int32_t tip_angle); /**< stores the tool, builds grit patterns and tip */
CVL_API void CVL_CALL CVL_SetBrushShape(const char* path, int32_t angle); /**< tip from a script or image file, else round */
CVL_API void CVL_CALL CVL_SetBrushShape_ORIGINAL(const char* path, int32_t angle); /**< tip from an image file, else round */
CVL_API uint8_t* CVL_CALL CVL_CreateTexture(int32_t layer); /**< texture map from a layer; null on failure */
CVL_API void CVL_CALL CVL_DeleteTexture(void); /**< dabs lose their texture factor */
CVL_API int32_t CVL_CALL CVL_CreateBlobFromImage(int32_t layer, int32_t mode); /**< grey relief in place; rows processed */
CVL_API void CVL_CALL CVL_SetColor(int32_t r, int32_t g, int32_t b); /**< 8-bit paint colour, widened by << 8 */
CVL_API void CVL_CALL CVL_SetColor16(int32_t r, int32_t g, int32_t b); /**< 16-bit paint colour */
CVL_API void CVL_CALL CVL_SetColorBanks(int32_t r0, int32_t g0, int32_t b0, int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2, int32_t b2, int32_t r3, int32_t g3, int32_t b3); /**< four 8-bit bank colours */
CVL_API void CVL_CALL CVL_SetBlendStrength(int32_t strength); /**< 0..256; keep refreshed only when > 0 */
CVL_API void CVL_CALL CVL_SetBlendPrimaryColorStrength(int32_t strength); /**< 0..256; keep refreshed only when > 0 */
CVL_API void CVL_CALL CVL_SetBlendRemix(int32_t on); /**< low byte kept */
CVL_API void CVL_CALL CVL_SetDensity(int32_t density); /**< grit bytes up to density - 1 paint */
CVL_API void CVL_CALL CVL_SetAlpha(int32_t percent); /**< opacity; scale = trunc(percent * 1.28) */
CVL_API void CVL_CALL CVL_SetColorVary(int32_t amount); /**< per-dab colour variation */
CVL_API void CVL_CALL CVL_SetAlphaLocked(int32_t on); /**< dabs keep the layer's alpha while on */
CVL_API void CVL_CALL CVL_SetColorLocked(int32_t on); /**< dabs keep the layer's colour while on */
CVL_API void CVL_CALL CVL_SetBlobLocked(int32_t on); /**< dabs keep the blob relief while on */
CVL_API void CVL_CALL CVL_SetAlphaLevel(int32_t level); /**< >= 1: fixed alpha of painted pixels */
CVL_API void CVL_CALL CVL_SetImageBrushMode(int32_t on); /**< blend-buffer alpha scales coverage */
CVL_API void CVL_CALL CVL_SetSolidBrushMode(int32_t on); /**< full coverage wherever the tip covers */
CVL_API void CVL_CALL CVL_SetRotateBrushMode(int32_t on, int32_t degrees); /**< tip sampled rotated */
CVL_API void CVL_CALL CVL_SetMixMode(int32_t mode, int32_t strength); /**< brush mix mode and its strength 0..256 */
CVL_API void CVL_CALL CVL_SetTracingMode(int32_t on); /**< low byte kept */
CVL_API void CVL_CALL CVL_DecDrawingLength(void); /**< counts the stroke down by one */
CVL_API void CVL_CALL CVL_TempDisableBlend(void); /**< next dab skips blending */
CVL_API void CVL_CALL CVL_SetEraseModeOn(void); /**< next dab erases */
CVL_API void CVL_CALL CVL_SetMaskMakerOn(void); /**< dabs paint the mask until the next CVL_SetTool */
CVL_API void CVL_CALL CVL_SetSize(int32_t size); /**< brush edge in pixels; identity scale table */
CVL_API void CVL_CALL CVL_SetScaleSize(int32_t size); /**< dab footprint edge, 1..min(brush size, 999) */
CVL_API void CVL_CALL CVL_SetPixColorVary(int32_t amount); /**< per-pixel colour variation */
CVL_API void CVL_CALL CVL_SetPixLumVary(int32_t amount); /**< per-pixel luminance variation */
/** @} */

/** @name View
 * After painting, CVL_Render composites a canvas rectangle into the host's display buffer at the
 * scale and offset set by CVL_SetScale, CVL_SetOffset and CVL_SetViewSize.
 * @{ */

CVL_API void CVL_CALL CVL_Render(uint8_t* dst, int32_t dst_stride, int32_t x, int32_t y, int32_t width, int32_t height); /**< composites the canvas rectangle into a BGR24 view at the view scale */
/** @} */

/** @name Dabs
 * A stroke is a run of dabs: CVL_SaveUndoBuffer before it, CVL_DrawDabGrit at each point (with
 * CVL_SetScaleSize for pressure), CVL_Render of the changed area after.
 * @{ */

CVL_API int32_t CVL_CALL CVL_DrawDabGrit(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b); /**< one dab at (x, y) in colour (r, g, b) & 0xFF00; result meaningless */
CVL_API int32_t CVL_CALL CVL_DrawDabGritMask(int32_t x, int32_t y); /**< one dab into the mask; result meaningless */
/** @} */

/** @name Layers and merging
 * CVL_CreateLayer makes a slot (0..63), CVL_SetLayer makes it current and CVL_SetLayerOptions makes
 * it visible with its opacity and mix mode (a new layer is hidden until then); CVL_Merge flattens.
 * @{ */

CVL_API int32_t CVL_CALL CVL_CreateLayer(int32_t slot, int32_t width, int32_t height); /**< cleared layer (slot 1 white); 1 or 0 */
CVL_API void CVL_CALL CVL_DeleteLayer(int32_t slot); /**< frees the slot's pixels */
CVL_API void CVL_CALL CVL_SetLayer(int32_t slot); /**< makes a slot with pixels current and refreshes the under-layer */
CVL_API void CVL_CALL CVL_SwapLayers(int32_t a, int32_t b); /**< exchanges two slots; the current number stays */
CVL_API int32_t CVL_CALL CVL_SetLayerOptions(int32_t slot, int32_t visible, int32_t lock_alpha, int32_t opacity, const char* mode_name); /**< opacity in percent; unknown or null name is Normal */
CVL_API int32_t CVL_CALL CVL_GetLayerCount(void); /**< slots 0..63 holding pixels */
CVL_API int32_t CVL_CALL CVL_GetLayerNum(void); /**< the current layer number */
CVL_API void CVL_CALL CVL_InvertAlpha(int32_t slot); /**< alpha becomes 65535 - alpha */
CVL_API void CVL_CALL CVL_SetLayerAlpha(int32_t slot, int32_t value); /**< every alpha becomes the low 16 bits of value */
CVL_API void CVL_CALL CVL_NormalizeLayerAlpha(int32_t slot); /**< alpha = opacity * alpha >> 8; opacity 256 */
CVL_API void CVL_CALL CVL_MergeLayer(int32_t src_slot, int32_t dst_slot); /**< composites one layer onto another in place */
CVL_API void CVL_CALL CVL_MergeLayerIntoRect(int32_t slot, uint16_t* dst, int32_t x, int32_t y, int32_t width, int32_t height); /**< a layer's rectangle onto a packed RGBA64 buffer */
CVL_API void CVL_CALL CVL_MergeLayerInto(int32_t slot, uint16_t* dst); /**< a layer onto a canvas-sized RGBA64 buffer */
CVL_API void CVL_CALL CVL_MergeRect(uint16_t* dst, int32_t x, int32_t y, int32_t width, int32_t height); /**< flattens the visible layers over a rectangle */
CVL_API void CVL_CALL CVL_Merge(uint16_t* dst); /**< flattens the visible layers over the canvas */
CVL_API int32_t CVL_CALL CVL_GetColorAtMerged(int32_t x, int32_t y); /**< flattened R << 16 | G << 8 | B, or -1 where transparent */
/** @} */

/** @name Paint layer, blend buffer and filter preparation
 * The working buffers behind smudging and image brushes: the paint layer, the blend buffer picked
 * up from a layer, and the premultiply/un-premultiply steps around filters.
 * @{ */

CVL_API void CVL_CALL CVL_CreatePaintLayer(int32_t opacity_percent, const char* mode_name); /**< creates the stroke layer if needed, sets its options */
CVL_API void CVL_CALL CVL_ClearPaintLayer(void); /**< transparent black, changed area empty */
CVL_API void CVL_CALL CVL_ClearPaintLayer_old(void); /**< every word 65535, the changed area 0 */
CVL_API void CVL_CALL CVL_DeletePaintLayer(void); /**< frees the paint layer's pixels */
CVL_API void CVL_CALL CVL_MergePaintLayer(int32_t slot); /**< composites the changed area onto a layer, then clears */
CVL_API void CVL_CALL CVL_BlurPaintLayerAlpha(void); /**< softens the paint layer's alpha edges */
CVL_API int32_t CVL_CALL CVL_CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t pick_up); /**< picks up the current layer around (x, y) */
CVL_API int32_t CVL_CALL CVL_CopyBlendBufferLayer(int32_t slot, int32_t x, int32_t y, int32_t amount); /**< picks up a layer */
CVL_API int32_t CVL_CALL CVL_CopyBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount); /**< picks up the under-layer buffer */
CVL_API int32_t CVL_CALL CVL_CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount); /**< picks up the trace layer */
CVL_API int32_t CVL_CALL CVL_DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* source, int32_t amount, int32_t pick_up); /**< picks up a canvas-sized RGBA64 image; 0 while blending is off */
CVL_API int32_t CVL_CALL CVL_DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount); /**< picks up the mask into the 16-bit plane */
CVL_API void CVL_CALL CVL_ClearBlendBuffer(void); /**< zeroes the buffer's first brush_capacity^2 words */
CVL_API void CVL_CALL CVL_FilterBlendBuffer(int32_t kind, int32_t level_percent); /**< 289 grey, 290 invert, 291/292 threshold */
CVL_API void CVL_CALL CVL_AdjustRGBA32PreFilter(uint8_t* image, int32_t width, int32_t height); /**< premultiply */
CVL_API void CVL_CALL CVL_AdjustRGBA32PostFilter(uint8_t* image, int32_t width, int32_t height); /**< un-premultiply */
CVL_API void CVL_CALL CVL_AdjustRGBA64PreFilter(uint16_t* image, int32_t width, int32_t height); /**< premultiply, 16-bit */
CVL_API void CVL_CALL CVL_AdjustRGBA64PostFilter(uint16_t* image, int32_t width, int32_t height); /**< un-premultiply, 16-bit */
CVL_API void CVL_CALL CVL_AdjustRGBA32ForAlphaComp(int32_t flag, uint8_t* image); /**< un-premultiplies a canvas-sized image when flag is set */
CVL_API void CVL_CALL CVL_AdjustRGBA32ByMaskAndTexture(uint8_t* image, int32_t width, int32_t height); /**< alpha times the selection weight */
CVL_API void CVL_CALL CVL_AdjustRGBA32RectByMaskAndTexture(uint8_t* image, int32_t x, int32_t y, int32_t width, int32_t height); /**< the same for an image at (x, y) */
CVL_API void CVL_CALL CVL_SetColorAlpha(int32_t r, int32_t g, int32_t b); /**< recolours the current layer's transparent pixels */
CVL_API void CVL_CALL CVL_SetColorAlphaRGBABuf(uint8_t* image, int32_t width, int32_t height, int32_t r, int32_t g, int32_t b); /**< recolours pixels with alpha 0 */
CVL_API void CVL_CALL CVL_SetColorRGBABuf(uint8_t* image, int32_t width, int32_t height, int32_t r, int32_t g, int32_t b); /**< recolours every pixel, alpha kept */
/** @} */

/** @name Undo
 * CVL_SetUndoLevels (and CVL_SetUndoMB) once; CVL_SaveUndoBuffer before each change; CVL_Undo and
 * CVL_Redo step through history within the memory budget.
 * @{ */

CVL_API void CVL_CALL CVL_SaveUndoBuffer(int32_t save_layer, int32_t save_mask); /**< records the stroke rectangle of the current layer and/or mask */
CVL_API void CVL_CALL CVL_SaveUndoBackBuffer(int32_t slot); /**< copies the slot and the mask into the under-layer buffer */
CVL_API void CVL_CALL CVL_Undo(void); /**< steps back one record */
CVL_API void CVL_CALL CVL_Redo(void); /**< steps forward one record */
CVL_API int32_t CVL_CALL CVL_CanUndo(void); /**< 1 when a step can be undone */
CVL_API int32_t CVL_CALL CVL_CanRedo(void); /**< 1 when a step can be redone */
CVL_API int32_t CVL_CALL CVL_GetRedoCount(void); /**< undone steps that can be redone */
CVL_API int32_t CVL_CALL CVL_GetUndoCount(void); /**< records holding data */
CVL_API void CVL_CALL CVL_ClearUndo(void); /**< empties the history and ends a pause */
CVL_API void CVL_CALL CVL_ReduceUndo(int32_t kib); /**< frees old records until kib KiB are released */
CVL_API void CVL_CALL CVL_PauseUndo(void); /**< suspends saves, undos and redos */
CVL_API void CVL_CALL CVL_ResumeUndo(void); /**< ends the pause */
CVL_API void CVL_CALL CVL_SetUndoMB(int32_t mb); /**< memory limit in MiB; 0 follows free memory */
/** @} */

/** @name Masks and selections
 * Build the selection mask from shapes, colours or alpha, then CVL_EnableMask(1) so loads, fills
 * and effects honour it; CVL_EnableMask(0) paints everywhere again.
 * @{ */

CVL_API int32_t CVL_CALL CVL_EnableMask(int32_t flag); /**< readers honour the mask while set; returns the flag */
CVL_API int32_t CVL_CALL CVL_DisplayMask(int32_t flag); /**< view shows the mask overlay while set (and enabled); returns the flag */
CVL_API void CVL_CALL CVL_SetMaskOptions(int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2, int32_t b2, int32_t full); /**< overlay checker colours (8-bit); full 0 keeps it at half strength */
CVL_API void CVL_CALL CVL_ClearMask(int32_t r, int32_t g, int32_t b); /**< whole mask from a 16-bit grey: black open, white protected */
CVL_API void CVL_CALL CVL_InvertMask(void); /**< every word becomes 65535 - word */
CVL_API void CVL_CALL CVL_SaveMask(uint8_t* dst, int32_t pitch); /**< canvas-sized grey RGB24, protected parts white */
CVL_API void CVL_CALL CVL_LoadMask(const uint8_t* src, int32_t pitch, int32_t width, int32_t height); /**< grey RGB24 into the mask, cut to the canvas */
CVL_API void CVL_CALL CVL_CreateMaskFromImage(void); /**< current layer's grey level becomes the mask */
CVL_API void CVL_CALL CVL_CreateImageFromMask(void); /**< current layer becomes the mask as an opaque grey image */
CVL_API void CVL_CALL CVL_CreateAlphaFromMask(void); /**< current layer's alpha := mask */
CVL_API void CVL_CALL CVL_CreateMaskFromAlpha(void); /**< mask := current layer's alpha */
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageColor(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2, int32_t strength); /**< pixels of exactly that colour; returns pixels matched */
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGB24ImageColor(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2, int32_t strength); /**< the same on RGB24 */
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageColorRange(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2, int32_t tolerance, int32_t strength); /**< every channel within tolerance % */
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageAlphaRange(const uint8_t* image, int32_t alpha, int32_t tolerance, int32_t strength); /**< alpha within tolerance % */
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageLuminanceRange(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2, int32_t tolerance, int32_t strength); /**< channel mean within tolerance % */
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageHueRange(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2, int32_t tolerance, int32_t strength); /**< HSV hue within tolerance * 1.8 degrees, wrapping */
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageHSLRange(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2, double hue_tol, double sat_tol, double light_tol, int32_t strength); /**< HSL within fractional tolerances */
CVL_API int32_t CVL_CALL CVL_CreateMaskFromFloodMask(const uint8_t* flood_map, int32_t strength); /**< canvas byte map, 1 marks the region */
CVL_API int32_t CVL_CALL CVL_CreateMaskFromDiff_RGBA32(const uint8_t* a, const uint8_t* b, int32_t value); /**< pixels that differ get the mask word value */
CVL_API void CVL_CALL CVL_ApplyMaskToAlphaRect_RGBA32(uint8_t* buffer, int32_t pitch, int32_t x0, int32_t y0, int32_t x1, int32_t y1); /**< weights the alpha of an image of canvas rect x0..x1, y0..y1 by the mask */
CVL_API void CVL_CALL CVL_ApplyMaskToAlpha_RGBA32(uint8_t* buffer); /**< the same for a canvas-sized image */
CVL_API void CVL_CALL CVL_ReplaceFromRGBAImageAlphaRange(uint8_t* image, int32_t alpha, int32_t tolerance, int32_t r, int32_t g, int32_t b, int32_t a); /**< pixels with alpha within tolerance % become (r, g, b, a) */
/** @} */

/** @name Image-processing buffers and geometry
 * CVL_IPLInit once; CVL_IPLAllocSrcBuffer32 and CVL_IPLAllocDstBuffer32 make the canvas-sized
 * buffers that effects and the geometry calls work through; the geometry calls change every layer.
 * @{ */

CVL_API void CVL_CALL CVL_IPLInit(int32_t unused); /**< once before any image operation */
CVL_API void CVL_CALL CVL_IPLExit(void); /**< closes the image operations */
CVL_API uint8_t* CVL_CALL CVL_IPLAllocSrcBuffer32(void); /**< canvas-sized RGBA32 source filled from the current layer */
CVL_API uint8_t* CVL_CALL CVL_IPLUpdateSrcBuffer32(void); /**< refills the RGBA32 source; null when it does not exist */
CVL_API void CVL_CALL CVL_IPLSetSrcBuffer32(const uint8_t* src); /**< copies canvas-sized RGBA32 into the source, if it exists */
CVL_API void CVL_CALL CVL_IPLFreeSrcBuffer32(void); /**< frees the RGBA32 source */
CVL_API uint8_t* CVL_CALL CVL_IPLAllocDstBuffer32(void); /**< canvas-sized RGBA32 destination, contents undefined */
CVL_API void CVL_CALL CVL_IPLSetDstBuffer32(const uint8_t* src); /**< copies canvas-sized RGBA32 into the destination, if it exists */
CVL_API void CVL_CALL CVL_IPLFreeDstBuffer32(void); /**< frees the RGBA32 destination */
CVL_API uint8_t* CVL_CALL CVL_IPLAllocSrcBuffer24(void); /**< canvas-sized RGB24 source filled from the current layer */
CVL_API void CVL_CALL CVL_IPLFreeSrcBuffer24(void); /**< frees the RGB24 source */
CVL_API uint8_t* CVL_CALL CVL_IPLAllocDstBuffer24(void); /**< canvas-sized RGB24 destination, contents undefined */
CVL_API void CVL_CALL CVL_IPLFreeDstBuffer24(void); /**< frees the RGB24 destination */
CVL_API void CVL_CALL CVL_ApplyMaskToAlpha_IPLSrcRGBA(void); /**< weights the RGBA32 source's alpha by the enabled mask */
CVL_API void CVL_CALL CVL_IPLFlipHorizontal(void); /**< mirrors every layer left to right; locked alpha stays */
CVL_API void CVL_CALL CVL_IPLFlipVertical(void); /**< mirrors every layer top to bottom; locked alpha stays */
CVL_API void CVL_CALL CVL_IPLResize(int32_t new_width, int32_t new_height, const char* filter); /**< resamples every layer with the named filter ("Bilinear", "Lanczos3", ...) */
CVL_API void CVL_CALL CVL_IPLSeamCarvingRGBA(int32_t new_width, int32_t new_height, int32_t unused); /**< changes every layer's width by seams; selected pixels are protected while the mask is enabled */
CVL_API void CVL_CALL CVL_IPLResizePage(int32_t new_width, int32_t new_height, const char* anchor); /**< new page size around "TL" ... "BR"; new area white on the background */
CVL_API void CVL_CALL CVL_IPLCrop(int32_t left, int32_t top, int32_t right, int32_t bottom); /**< cuts every layer to [left, right) x [top, bottom) */
CVL_API void CVL_CALL CVL_IPLRotateLeft(void); /**< turns every layer a quarter counter-clockwise */
CVL_API void CVL_CALL CVL_IPLRotateRight(void); /**< turns every layer a quarter clockwise */
CVL_API void CVL_CALL CVL_IPLPan(int32_t dx, int32_t dy, int32_t edge_mode, int32_t r, int32_t g, int32_t b, int32_t a, int32_t apply_mask); /**< shifted RGBA32 source onto the current layer: 0 transparent, 1 wrap, 2 repeat edge, 3 fill */
CVL_API const char* CVL_CALL CVL_IPLResizeFilterName(int32_t index); /**< added: the index-th filter name CVL_IPLResize takes, null past the last */
/** @} */

/** @name Image effects
 * With both RGBA32 IPL buffers allocated, CVL_IPLImageProcess runs a named effect on the current
 * layer; CVL_IPLEffectInfo, CVL_IPLEffectDescription and CVL_IPLEffectArgumentInfo describe the names.
 * @{ */
CVL_API int32_t CVL_CALL CVL_IPLImageProcess(int32_t reserved, const char* effect, int32_t i1, int32_t s1, int32_t s2, int32_t s3, int32_t s4, int32_t s5, int32_t s6, int32_t option, int32_t i2, int32_t f1, int32_t f2, int32_t f3, int32_t f4, int32_t f5, int32_t f6, int32_t r, int32_t g, int32_t b, const char* text); /**< runs the named effect (exact name, sliders in tenths) on the current layer through the IPL buffers; 0 without both RGBA32 buffers */

CVL_API int32_t CVL_CALL CVL_IPLPhotoPop(int32_t amount, double saturation, int32_t flag); /**< sharpens, raises contrast (twice when flag's low byte is 1) and sets saturation 0..100 (50 keeps it), through the selection; 0 when the saturation step fails */
CVL_API const char* CVL_CALL CVL_IPLEffectInfo(int32_t index, const char** frame, const char** reads); /**< added: the index-th name CVL_IPLImageProcess takes (testing order), its frame and the arguments it reads; null past the last */
CVL_API const char* CVL_CALL CVL_IPLEffectDescription(int32_t index, const char** frame_description); /**< added: a line on what the index-th effect does, and one on its frame; null past the last */
CVL_API const char* CVL_CALL CVL_IPLEffectArgumentInfo(int32_t index, int32_t k, const char** name, const char** unit, double* min, double* max, double* def, const char** meaning); /**< added: the k-th argument the index-th effect reads ("s1".."s6", "option", "i1", "i2", "f1".."f6", "colour", "text"), its short name, unit, range and default (sliders in slider units; the call takes tenths) and meaning; null past the last */
/** @} */

/** @name Selection and fill tools
 * Shape selections and flood fills on the current layer and mask, at the canvas's coordinates.
 * @{ */

CVL_API void CVL_CALL CVL_IPLMaskRectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength); /**< protects the box (corners included) by strength %; mask rounded to multiples of 256 */
CVL_API void CVL_CALL CVL_IPLMaskEllipse(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength); /**< the same for the ellipse in the box, radii at least 2 */
CVL_API void CVL_CALL CVL_IPLMaskWand(int32_t x, int32_t y, int32_t tolerance, int32_t strength, const char* mode); /**< adds the pixels the mode selects around (x, y); tolerance is percent * 500 */
CVL_API void CVL_CALL CVL_IPLFloodFill(int32_t r, int32_t g, int32_t b, int32_t x, int32_t y, int32_t tolerance, const char* mode); /**< paints or erases the selected pixels of the current layer through the selection */
CVL_API void CVL_CALL CVL_ColorRGBA32FromFloodMask(uint8_t* image, const uint8_t* flood_map, int32_t r, int32_t g, int32_t b, int32_t a); /**< canvas-sized RGBA32: pixels whose map byte is 1 become (r, g, b, a) */
CVL_API void CVL_CALL CVL_SetAlphaFromRGBAImageColor(uint8_t* image, int32_t r, int32_t g, int32_t b); /**< canvas-sized RGBA32: alpha 0 where the colour is (r, g, b) */
/** @} */

/** @name Drawing primitives and text
 * Rectangles, ellipses, lines, gradients and text drawn straight into the current layer.
 * @{ */

CVL_API void CVL_CALL CVL_IPLRectangle(int32_t r, int32_t g, int32_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t opacity); /**< filled box (x1's column left out), opacity in percent, through the selection */
CVL_API void CVL_CALL CVL_IPLEllipse(int32_t r, int32_t g, int32_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t opacity); /**< the box's inscribed ellipse, radii at least 2, anti-aliased edge */
CVL_API void CVL_CALL CVL_IPLGradient(int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2, int32_t b2, int32_t r3, int32_t g3, int32_t b3, int32_t r4, int32_t g4, int32_t b4, int32_t count, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const char* type); /**< "Linear" along the line, else radial; count 0 fades colour 1 in, 1 fades it out */
CVL_API int32_t CVL_CALL CVL_ChooseFont(void); /**< the font chooser for the text tool; non-zero when a font was chosen */
CVL_API void CVL_CALL CVL_IPLText(int32_t r, int32_t g, int32_t b, int32_t x, int32_t y, int32_t ignored1, int32_t ignored2, int32_t ignored3, int32_t ignored4, const char* text, int32_t smooth); /**< text at (x, y) in the chosen font through the IPL source and the selection */
CVL_API void CVL_CALL CVL_IPLDisplacementBummp(const char* script_path, double depth, int32_t fill); /**< the IPL source displaced by a tiled script's relief, loaded through the selection */
CVL_API void CVL_CALL CVL_BlurMoreBufferRGB24(uint8_t* buffer, int32_t width, int32_t height, int32_t size, int32_t strength); /**< blur of radius size / 5 mixed in by strength % */
/** @} */

/** @name Lua filters
 * CVL_LuaFilterRun runs a filter script on the current layer; CVL_SetLuaSandbox(1) first for
 * scripts you did not write. The script polls the host's Escape entry to stop early.
 * @{ */

CVL_API void CVL_CALL CVL_LuaFilterRun(const char* script_path, int32_t slider1, int32_t slider2, int32_t slider3, int32_t slider4, int32_t slider5, int32_t slider6, int32_t style1, int32_t style2, int32_t flag1, int32_t flag2, int32_t flag3, int32_t flag4, int32_t flag5, int32_t flag6); /**< runs the script over the RGBA32 working images, then into the current layer through the selection */
CVL_API void CVL_CALL CVL_SetLuaSandbox(int32_t on); /**< added: later filters run without io, os.execute/remove/rename/exit, package.loadlib, debug, dofile/loadfile/require; off by default */
/** @} */

/** @name Run-length and compressed layer transfer
 * Save and restore layers and the mask row by row as run-length streams or whole as deflated blocks,
 * for a host's own document format; the Bounded decoders stop at the end of the stream.
 * @{ */

CVL_API int32_t CVL_CALL CVL_RLECompressRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t count); /**< 5-byte runs (length, R, G, B, A high bytes); bytes written, 0 for a null pointer */
CVL_API int32_t CVL_CALL CVL_RLEUncompressRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t count); /**< decodes up to count pixels, stopping at a zero-length run; pixels written */
CVL_API int32_t CVL_CALL CVL_RLECompressG16ToG8(const uint16_t* src, uint8_t* dst, int32_t count); /**< 2-byte runs (length, high byte); bytes written, 0 for a null pointer */
CVL_API int32_t CVL_CALL CVL_RLEUncompressG8ToG16(const uint8_t* src, uint16_t* dst, int32_t count); /**< decodes up to count words, stopping at a zero-length run; words written */
CVL_API int32_t CVL_CALL CVL_GetRGBA32LayerLineRLE(uint8_t* dst, int32_t slot, int32_t row); /**< one layer row as colour runs; byte count, 0 without pixels */
CVL_API int32_t CVL_CALL CVL_PutRGBA32LayerLineRLE(const uint8_t* src, int32_t slot, int32_t row); /**< decodes colour runs into one layer row; pixels written */
CVL_API int32_t CVL_CALL CVL_GetMaskLineRLE(uint8_t* dst, int32_t row); /**< one mask row as mask runs; byte count, 0 without a mask */
CVL_API int32_t CVL_CALL CVL_PutMaskLineRLE(const uint8_t* src, int32_t row); /**< decodes mask runs into one mask row; words written */
CVL_API int32_t CVL_CALL CVL_GetRGBA32LayerCompressed(uint8_t* dst, int32_t ignored, int32_t capacity, int32_t slot, int32_t option); /**< the layer as a deflated RGBA32 block (option = level 0..9); block length, 0 on failure */
CVL_API int32_t CVL_CALL CVL_LoadRGBA32LayerCompressed(const uint8_t* block, int32_t ignored, int32_t length, int32_t slot); /**< inflates a block of the layer's size and loads it unmasked; 0 when the block is damaged */
CVL_API int32_t CVL_CALL CVL_RLEUncompressRGBA32ToRGBA64Bounded(const uint8_t* src, uint16_t* dst, int32_t count, int32_t stream_bytes); /**< added: reads at most stream_bytes; pixels written */
CVL_API int32_t CVL_CALL CVL_RLEUncompressG8ToG16Bounded(const uint8_t* src, uint16_t* dst, int32_t count, int32_t stream_bytes); /**< added: reads at most stream_bytes; words written */
CVL_API int32_t CVL_CALL CVL_PutRGBA32LayerLineRLEBounded(const uint8_t* src, int32_t slot, int32_t row, int32_t stream_bytes); /**< added: reads at most stream_bytes; pixels written */
CVL_API int32_t CVL_CALL CVL_PutMaskLineRLEBounded(const uint8_t* src, int32_t row, int32_t stream_bytes); /**< added: reads at most stream_bytes; words written */
/** @} */

/** @name Image brush
 * Load a picture (or frames) as the image brush, size and turn it, then mix it into the blend buffer
 * that the next dabs paint from.
 * @{ */

CVL_API int32_t CVL_CALL CVL_LoadImageBrush(const char* path); /**< file into the picture (each edge at most brush_capacity); 1 replaced, 0 kept */
CVL_API int32_t CVL_CALL CVL_LoadImageBrushFromRGBA32(const uint8_t* rgba, int32_t width, int32_t height); /**< packed RGBA32 into the picture; 1 replaced, 0 kept */
CVL_API int32_t CVL_CALL CVL_LoadImageBrushArray(const char* path); /**< file into the strip of square frames; the picture becomes one empty frame */
CVL_API int32_t CVL_CALL CVL_CopyFromImageBrushArray(float x); /**< frame trunc(frames * x), 0 <= x < 1, into the picture; 1 copied */
CVL_API int32_t CVL_CALL CVL_SaveImageBrush(const char* path); /**< the picture as an RGBA PNG; 1 written */
CVL_API int32_t CVL_CALL CVL_FillImageBrush(int32_t r, int32_t g, int32_t b); /**< new brush-size picture of one opaque colour (v * 257); its edge */
CVL_API int32_t CVL_CALL CVL_ColorImageBrush(int32_t r, int32_t g, int32_t b); /**< recolours the picture keeping alpha; its rows */
CVL_API int32_t CVL_CALL CVL_CopyToImageBrush(void); /**< new brush-size picture from the blend buffer; its edge */
CVL_API int32_t CVL_CALL CVL_SizeImageBrush(void); /**< the picture scaled to the brush size; the sized edge */
CVL_API int32_t CVL_CALL CVL_RotateImageBrush(int32_t degrees); /**< the sized picture turned by 360 - degrees; 1 ready to mix */
CVL_API int32_t CVL_CALL CVL_CopyFromImageBrush(int32_t strength_percent); /**< sizes, then mixes the picture into the blend buffer (0 copies); the sized edge */
CVL_API int32_t CVL_CALL CVL_CopyFromImageBrushRotate(int32_t strength_percent); /**< mixes the last rotation into the blend buffer; the edge mixed, 0 none */
/** @} */

/** @name Clipboard and screen capture
 * Copy layers out and paste pictures in through the desktop clipboard (or the host's clipboard
 * entries in CVL_HostCallbacks when there is no window system).
 * @{ */

CVL_API void CVL_CALL CVL_ToClipboard(void); /**< the current layer as a 32-bit DIB; unselected pixels transparent while the mask is enabled; a copy that fails leaves "ToClipboard: <cause>" in the last-error text (the Rect forms likewise) */
CVL_API void CVL_CALL CVL_ToClipboardRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2); /**< a rectangle of it, |x1-x2| x |y1-y2|, corners in any order */
CVL_API void CVL_CALL CVL_RGBA32ToClipboardRect(uint8_t* image, int32_t x, int32_t y, int32_t width, int32_t height); /**< a caller image of the canvas rect at (x, y); the mask weights its alpha in place */
CVL_API int32_t CVL_CALL CVL_FromClipboard(void); /**< 1 when the new-RGBA buffer now holds the clipboard picture */
CVL_API int32_t CVL_CALL CVL_FromClipboardInto(int32_t x, int32_t y, int32_t centre); /**< pastes at (x, y) (its centre when centre = 1) through the selection; 1 pasted */
CVL_API int32_t CVL_CALL CVL_FromClipboardIntoEX(int32_t x, int32_t y, float scale, int32_t angle, int32_t centre, int32_t smooth); /**< scaled by a factor, turned by whole degrees; always 0, a failure leaves "FromClipboardIntoEX: <cause>" in the last-error text */
CVL_API int32_t CVL_CALL CVL_FromClipboardIntoEX2(int32_t x, int32_t y, int32_t size, int32_t angle, int32_t centre, int32_t smooth); /**< longer side to size pixels, angle 360 ignored, visible part composited; always 0, a failure leaves "FromClipboardIntoEX2: <cause>" in the last-error text */
CVL_API int32_t CVL_CALL CVL_FromClipboardIntoEX2_1602(int32_t x, int32_t y, int32_t size, int32_t angle, int32_t centre, int32_t smooth); /**< the same, its texts starting "FromClipboardIntoEX2_1602: " */
CVL_API int32_t CVL_CALL CVL_ScreenCapture(void); /**< 1 when the new-RGBA buffer holds the screen */
CVL_API int32_t CVL_CALL CVL_ScreenCaptureInto(void); /**< 1 when the screen went into the current layer through the selection */
/** @} */

/** @name Splines and point warp
 * CVL_CalcSpline3 samples a curve to 100 points read back with CVL_GetSplinePointX/Y; the warp moves
 * pixels with a dragged point.
 * @{ */

CVL_API int32_t CVL_CALL CVL_CalcSpline3(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t unused); /**< 100 points of the curve through three points (read unsigned) */
CVL_API int32_t CVL_CALL CVL_GetSplinePointCount(void); /**< 0 before the first curve, then 100 */
CVL_API double CVL_CALL CVL_GetSplinePointX(int32_t i); /**< point i's x; i read unsigned, past the end the last point */
CVL_API double CVL_CALL CVL_GetSplinePointY(int32_t i); /**< point i's y */
CVL_API void CVL_CALL CVL_WarpPointToPoint(int32_t x1, int32_t y1, int32_t x2, int32_t y2); /**< pushes the IPL source's image from one point to the other into the current layer */
/** @} */

/** @name Tablet
 * CVL_InitTablet with the host's window, CVL_ReadTabletPackets, then read the pressure and position of each packet while
 * painting; without a tablet the pressure ramps 10, 35, 60, 85, 100.
 * @{ */

CVL_API int32_t CVL_CALL CVL_InitTablet(void* window); /**< opens the pen context on the window; 0 without a tablet library or pressure axis */
CVL_API int32_t CVL_CALL CVL_SetTabletOrigin(void); /**< positions are read relative to the window's client origin from now on; 0 without a context */
CVL_API int32_t CVL_CALL CVL_CloseTablet(void); /**< closes the context; 0 without one */
CVL_API int32_t CVL_CALL CVL_ResetTabletPressure(void); /**< pressure ramp back to 10, queued packets discarded; their number */
CVL_API int32_t CVL_CALL CVL_ReadTabletPackets(void); /**< reads the next batch of up to 256 packets; their number */
CVL_API int32_t CVL_CALL CVL_ReadTabletPressure(int32_t index); /**< the packet's pressure 1..100, or the no-packet ramp 10, 35, 60, 85, 100 */
CVL_API int32_t CVL_CALL CVL_ReadRawTabletPressure(int32_t index); /**< the packet's pressure scaled to 0..100, unadjusted; 0 out of range */
CVL_API int32_t CVL_CALL CVL_IsPacketInvert(int32_t index); /**< 1 when the packet came from the eraser end */
CVL_API int32_t CVL_CALL CVL_PacketStatus(int32_t index); /**< the packet's status bits; 0 out of range */
CVL_API int32_t CVL_CALL CVL_ReadTabletX(int32_t index); /**< packet x relative to the tablet origin; 0 out of range */
CVL_API int32_t CVL_CALL CVL_ReadTabletY(int32_t index); /**< packet y relative to the tablet origin; 0 out of range */
CVL_API void CVL_CALL CVL_SetTabletWindowPlace(int32_t client_x, int32_t client_y, int32_t screen_width, int32_t screen_height); /**< added: without a window system: the window's client origin on the screen and the screen size (0: unknown) */
/** @} */

/** @name Movie, PDF, scanner and file utilities
 * A movie is CVL_CreateAVI, a CVL_WriteAVI per frame, CVL_CloseAVI; a PDF album collects pages and writes
 * them at once; the scanner fills the new-RGBA buffer.
 * @{ */

CVL_API void* CVL_CALL CVL_CreateAVI(const char* path, int32_t frame_period); /**< starts a movie, frame_period ms per frame; its handle, or null */
CVL_API int32_t CVL_CALL CVL_WriteAVI(const char* bitmap_path); /**< appends a BMP file as a frame; 0 without a movie or a loadable bitmap */
CVL_API int32_t CVL_CALL CVL_CloseAVI(void); /**< completes and closes the movie; 0, a movie that could not be completed leaves "CloseAVI: <cause>" in the last-error text */
CVL_API int32_t CVL_CALL CVL_I2PDF_Reset(void); /**< empties the PDF album; 1 */
CVL_API int32_t CVL_CALL CVL_I2PDF_AddImage(const char* path); /**< adds an image file as the next page; 1, or 0 when it is no image */
CVL_API int32_t CVL_CALL CVL_I2PDF_MakePDF(const char* path); /**< one page per image at 96 dpi in a 20-point grey border, images then deleted, album emptied; 1, or 0 when no PDF was written */
CVL_API int32_t CVL_CALL CVL_I2PDF_MakePDFSlideshow(const char* path); /**< the same as a full-screen slide show with page transitions */
CVL_API int32_t CVL_CALL CVL_IsTwain(void); /**< 1 when a scanner can be used */
CVL_API int32_t CVL_CALL CVL_TwainSelectSource(void); /**< asks the host which scanner to use; 1 when one was chosen */
CVL_API int32_t CVL_CALL CVL_TwainAcquire(void); /**< scans one image into the new-RGBA buffer; 1, or 0 with the buffer untouched */
CVL_API int32_t CVL_CALL CVL_RenameFile(const char* old_path, const char* new_path); /**< 1 renamed; 0 on failure or when new_path exists (never replaced) */
CVL_API const char* CVL_CALL CVL_GetDirInfo(void); /**< the system directory, valid until the next call */
/** @} */

/** @name Files and the new-RGBA buffer
 * CVL_ReadFromFile decodes a picture into the new-RGBA buffer and CVL_SetInNewRGBA loads it into the
 * current layer; the writers take extensions with their dot (".png"); saves report through the
 * last-error text.
 * @{ */

CVL_API int32_t CVL_CALL CVL_GetDPIFromFile(const char* path); /**< file resolution snapped to 96/150/200/300/450/600 dpi, else 72 */
CVL_API int32_t CVL_CALL CVL_ReadFromFile(const char* path); /**< decodes into the new-RGBA buffer; 1 or 0 */
CVL_API int32_t CVL_CALL CVL_ReadFromFileRGB24(uint8_t* dst, int32_t width, int32_t height, const char* path); /**< 1 when the file is width x height, copied as RGB24; else dst untouched */
CVL_API int32_t CVL_CALL CVL_ReadFromFileRGBA32(uint8_t* dst, int32_t width, int32_t height, const char* path); /**< the same as RGBA32 */
CVL_API int32_t CVL_CALL CVL_WriteToFileRGB24(const uint8_t* image, int32_t width, int32_t height, const char* path, const char* ext, int32_t dpi); /**< .bmp .png .emf .gif .jpg .pcx .psd .wmf, any case; 1 written, 0 not */
CVL_API int32_t CVL_CALL CVL_WriteToFileRGBA32(const uint8_t* image, int32_t width, int32_t height, const char* path, const char* ext, int32_t dpi); /**< .png .tga .tif */
CVL_API int32_t CVL_CALL CVL_SavePageToFileRGB24(const char* path, const char* ext, int32_t dpi); /**< flattened canvas row by row to .bmp .png .jpg (with the dot, any case); always 0, a failure leaves "SavePageToFileRGB24: <cause>" in the last-error text */
CVL_API int32_t CVL_CALL CVL_SavePageToFileRGB32(const char* path, const char* ext, int32_t dpi); /**< with alpha to .png .tga .tif; always 0, a failure leaves "SavePageToFileRGB32: <cause>" in the last-error text */
CVL_API int32_t CVL_CALL CVL_MakeThumbnail(const char* src_path, const char* dst_path); /**< BMP, longer side 100; always 0, a failure leaves "MakeThumbnail: <cause>" in the last-error text */
CVL_API int32_t CVL_CALL CVL_MakeWebPic(const char* src_path, const char* dst_path, int32_t max_width, int32_t max_height); /**< JPEG quality 75 within the limits, never grown; always 0, a failure leaves "MakeWebPic: <cause>" in the last-error text */
CVL_API int32_t CVL_CALL CVL_GetNewRGBAWidth(void); /**< width of the last new-RGBA image made */
CVL_API int32_t CVL_CALL CVL_GetNewRGBAHeight(void); /**< its height */
CVL_API int32_t CVL_CALL CVL_DeleteNewRGBA(void); /**< frees the new-RGBA pixels; size kept; result meaningless */
CVL_API int32_t CVL_CALL CVL_IsNewRGBA32Transparent(void); /**< 1 if some alpha is below 255 */
CVL_API int32_t CVL_CALL CVL_SetInNewRGBA(void); /**< loads the new-RGBA image into the current layer through the selection */
CVL_API void CVL_CALL CVL_GetNewRGBA32(uint8_t* dst); /**< copies it out as packed RGBA32 */
CVL_API void CVL_CALL CVL_GetNewRGBA24(uint8_t* dst); /**< copies it out as packed RGB24 */
CVL_API void CVL_CALL CVL_GetResizedNewRGBA24(uint8_t* dst, int32_t width, int32_t height); /**< scaled copy as packed RGB24 */
CVL_API const char* CVL_CALL CVL_GetFileTypeName(const char* path); /**< added: "PNG", "JPG", "TIFF", "BMP", ... from the file's content; "" unknown */
CVL_API int32_t CVL_CALL CVL_GetFileOrientation(const char* path); /**< added: the turn reading applies from the file's orientation tag: 1 as stored, 2 mirrored, 3 half turn, 4 flipped, 5..8 stored on its side; 0 when unreadable */
CVL_API int32_t CVL_CALL CVL_WriteToFileWebP(const uint8_t* image, int32_t width, int32_t height, int32_t channels, const char* path, int32_t quality); /**< added: packed RGB24 (channels 3) or RGBA32 (4); lossy at quality 0..100, lossless otherwise; 1 when written */
/** @} */

/** @name Host callbacks (added)
 * CVL_SetHostCallbacks once after loading, before the calls that need a person's answer or the
 * desktop; a null table keeps the headless defaults.
 * @{ */

/* Services that need a person's answer go to the host. The first field is the
 * struct's own size in bytes, so entries are only ever appended: a host built
 * against an older header passes a smaller size and keeps the defaults for the
 * rest. A null entry (or a null table) keeps the headless default. */
typedef struct CVL_HostCallbacks {
  uint32_t size; /* sizeof(CVL_HostCallbacks) as the host was built */
  void* user_data; /* handed back as the first argument of every entry */

  /* a modal message with an OK button; default prints "caption: text" to stderr */
  void (*message_box)(void* user_data, const char* caption, const char* text);

  /* non-zero when Escape was pressed since the previous query; default never */
  int32_t (*escape_pressed)(void* user_data);

  /* debugger output; default stderr only when CORVEL_DEBUG_OUTPUT is set */
  void (*debug_output)(void* user_data, const char* text);

  /* the font chooser, starting from the 60-byte LOGFONTA record and filling it: non-zero when the user chose;
   * on 0, *error may give a dialog failure code (0 means cancelled). Default: a sans-serif face, 16 pixels */
  int32_t (*choose_font)(void* user_data, void* logfont, uint32_t* error);

  /* the movie compression choice: non-zero to go on, 0 cancels */
  int32_t (*choose_compression)(void* user_data, uint32_t* fourcc, int32_t* quality);

  /* the scanner source: an index into devices, or -1 to cancel */
  int32_t (*choose_scanner)(void* user_data, const char* const* devices, int32_t count);

  /* the desktop clipboard: a CF_DIB block the host hands in (null when empty), valid until the next call */
  const uint8_t* (*clipboard_get_dib)(void* user_data, uint32_t* size);

  /* the desktop clipboard: the engine's CF_DIB block for the host to publish */
  void (*clipboard_set_dib)(void* user_data, const uint8_t* dib, uint32_t size);
} CVL_HostCallbacks;

CVL_API void CVL_CALL CVL_SetHostCallbacks(const CVL_HostCallbacks* callbacks); /**< added: registers the host's services; null restores the defaults */
/** @} */


#ifdef __cplusplus
}
#endif

#endif /* CORVEL_CORVEL_H */

// Run-length rows exchanged with the host's own files: colour rows as 5-byte runs
// (length, R, G, B, A high bytes) and mask rows as 2-byte runs (length, high byte).
// Runs are 1..255 long and follow each other with no header or terminator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvl {

struct Engine;

// Stream length to pass when the caller does not know it: decoding then ends only
// when the row is full or at a zero-length run.
inline constexpr size_t kUnknownStreamLength = SIZE_MAX;

// Compresses `count` RGBA64 pixels; returns the bytes written (5 per run), 0 when a
// pointer is null. Fewer than two pixels still write one run describing the first.
int32_t rle_compress_rgba64(const uint16_t* pixels, uint8_t* out, int32_t count);
// Compresses `count` mask words into 2-byte runs, with the same rules.
int32_t rle_compress_g16(const uint16_t* words, uint8_t* out, int32_t count);

// Decodes runs into at most `count` pixels (words), each byte widened by 256, and
// returns how many were written. Decoding stops when `count` is reached, when fewer
// bytes than a whole run remain of `stream_bytes`, or at a run of length 0, which an
// encoder never writes and which marks a stream that is not one of ours.
int32_t rle_uncompress_rgba32(const uint8_t* stream, size_t stream_bytes, uint16_t* pixels, int32_t count);
int32_t rle_uncompress_g8(const uint8_t* stream, size_t stream_bytes, uint16_t* words, int32_t count);

// One row of a layer (canvas width pixels, clipped to the layer) or of the mask.
// The getters return the stream's byte count, 0 for a slot without pixels, no mask
// or a row off the plane; the putters return the pixels (words) written.
int32_t get_layer_line_rle(Engine& e, uint8_t* out, int32_t slot, int32_t row);
int32_t put_layer_line_rle(Engine& e, const uint8_t* stream, size_t stream_bytes, int32_t slot, int32_t row);
int32_t get_mask_line_rle(Engine& e, uint8_t* out, int32_t row);
int32_t put_mask_line_rle(Engine& e, const uint8_t* stream, size_t stream_bytes, int32_t row);

}  // namespace cvl

#pragma once

#include <cstdint>

namespace cvl {

void create_image(void* owner, int32_t width, int32_t height, int32_t brush_capacity, int32_t reserved);
void new_size(void* owner, int32_t width, int32_t height, int32_t brush_capacity, int32_t reserved);
void delete_image();

}  // namespace cvl

#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

void create_image(Engine& e, void* owner, int32_t width, int32_t height, int32_t brush_capacity, int32_t reserved);
void new_size(Engine& e, void* owner, int32_t width, int32_t height, int32_t brush_capacity, int32_t reserved);
void delete_image(Engine& e);

}  // namespace cvl

// A small canvas with a painted current layer and both RGBA32 working images,
// scripts written to temporary files, and the host's message boxes recorded.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "corvel/corvel.h"
#include "core/engine.h"
#include "script/lua_filter.h"
#include "support/canvas_fixture.h"

namespace cvl::test {

class LuaFilterFixture : public CanvasTest {
 protected:
  static constexpr int kW = 8, kH = 6, kSlot = 2;

  void SetUp() override {
    boxes.clear();
    debug_text.clear();
    make_canvas(kW, kH, 16);
    CVL_CreateLayer(kSlot, kW, kH);
    CVL_SetLayer(kSlot);
    // Words with a non-zero low byte show whether a pixel went through 8 bits.
    Layer& layer = e().slot(kSlot);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        uint16_t* p = pixel_at(layer, x, y);
        p[0] = static_cast<uint16_t>(((x * 30) << 8) | 0x11);
        p[1] = static_cast<uint16_t>(((y * 40) << 8) | 0x22);
        p[2] = static_cast<uint16_t>(0x8033);
        p[3] = static_cast<uint16_t>(0xFF44);
      }
    CVL_IPLAllocSrcBuffer32();
    CVL_IPLAllocDstBuffer32();
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("corvel_lua_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
    CVL_HostCallbacks table{};
    table.size = sizeof table;
    table.user_data = this;
    table.message_box = [](void* self, const char* caption, const char* text) {
      static_cast<LuaFilterFixture*>(self)->boxes.push_back(std::string(caption) + ": " + text);
    };
    table.escape_pressed = [](void* self) -> int32_t { return static_cast<LuaFilterFixture*>(self)->escape; };
    table.debug_output = [](void* self, const char* text) {
      static_cast<LuaFilterFixture*>(self)->debug_text += text;
    };
    CVL_SetHostCallbacks(&table);
  }

  void TearDown() override {
    CVL_SetHostCallbacks(nullptr);
    CVL_SetLuaSandbox(0);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    CanvasTest::TearDown();
  }

  std::string write_script(const std::string& body, const std::string& name = "filter.lua") {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << body;
    return path;
  }

  // Runs a script given as text, with the given host arguments.
  void run(const std::string& body, LuaFilterParams params = {}) {
    const std::string path = write_script(body);
    params.script_path = path.c_str();
    CVL_LuaFilterRun(params.script_path, params.sliders[0], params.sliders[1], params.sliders[2], params.sliders[3],
                     params.sliders[4], params.sliders[5], params.styles[0], params.styles[1], params.flags[0],
                     params.flags[1], params.flags[2], params.flags[3], params.flags[4], params.flags[5]);
  }

  // The text of the one message box a script showed with caption "out".
  std::string output_of(const std::string& body, LuaFilterParams params = {}) {
    boxes.clear();
    run(body, params);
    if (boxes.size() != 1) return std::to_string(boxes.size()) + " boxes";
    return boxes[0].rfind("out: ", 0) == 0 ? boxes[0].substr(5) : boxes[0];
  }

  Pixel layer_pixel(int x, int y) { return read_pixel(e().slot(kSlot), x, y); }

  std::filesystem::path dir_;
  std::vector<std::string> boxes;
  std::string debug_text;
  int32_t escape = 0;
};

}  // namespace cvl::test

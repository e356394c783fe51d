#include "script/lua_sandbox.h"

#include "script/lua_fixture.h"

namespace cvl::test {
namespace {

class LuaSandbox : public LuaFilterFixture {
 protected:
  // The error box text of a sandboxed run, or "" when it ran through.
  std::string sandboxed(const std::string& body) {
    CVL_SetLuaSandbox(1);
    boxes.clear();
    run(body);
    CVL_SetLuaSandbox(0);
    return boxes.empty() ? "" : boxes[0];
  }
};

TEST_F(LuaSandbox, FileAndProcessAccessFailsAsAScriptError) {
  const std::string victim = write_script("keep me", "victim.txt");
  const std::string made = (dir_ / "made.txt").string();
  const std::string calls[] = {
      "os.remove([[" + victim + "]])",
      "os.rename([[" + victim + "]], [[" + made + "]])",
      "io.open([[" + made + "]], 'w'):write('x')",
      "package.loaded.io.open([[" + made + "]], 'w')",
      "os.execute('touch " + made + "')",
      "debug.getregistry()",
      "dofile([[" + victim + "]])",
      "loadfile([[" + victim + "]])",
      "require('os')",
      "package.loadlib('libc.so.6', 'system')",
      "os.exit(3)",
      "assert(loadstring(string.dump(function() end)))",
      "local d, done = string.dump(function() end), false "
      "assert(load(function() if done then return nil end done = true return d end))",
  };
  const Pixel before = layer_pixel(0, 0);
  for (const std::string& call : calls) {
    const std::string box = sandboxed("set_rgb(0, 0, 1, 1, 1) " + call);
    EXPECT_EQ(box.rfind("Lua Script Error: ", 0), 0u) << call << " -> " << box;
    EXPECT_EQ(layer_pixel(0, 0), before) << call;
  }
  EXPECT_TRUE(std::filesystem::exists(victim));
  EXPECT_FALSE(std::filesystem::exists(made));
}

TEST_F(LuaSandbox, ScriptsWithoutFileAccessRunAsBefore) {
  EXPECT_EQ(sandboxed("set_rgb(0, 0, 1, 1, 1) assert(loadstring('return 1'))() assert(string.format('%d', 2)) "
                      "assert(math.floor(os.clock()) >= 0 and os.time() and table.concat({1}) and bit_and(3, 1) == 1)"),
            "");
  EXPECT_EQ(layer_pixel(0, 0)[0], 65280);
}

TEST_F(LuaSandbox, PrecompiledScriptFilesAreRefused) {
  const std::string path = write_script("#!/bin/lua\n\x1bLua\x51", "compiled.lua");
  CVL_SetLuaSandbox(1);
  CVL_LuaFilterRun(path.c_str(), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  CVL_SetLuaSandbox(0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("precompiled"), std::string::npos) << boxes[0];
}

TEST_F(LuaSandbox, WithoutTheSandboxTheSameScriptRunsAsWritten) {
  const std::string victim = write_script("keep me", "victim.txt");
  run("assert(os.remove([[" + victim + "]]))");
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(std::filesystem::exists(victim));
}

}  // namespace
}  // namespace cvl::test

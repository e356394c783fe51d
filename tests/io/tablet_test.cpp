#include "io/tablet.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "corvel/corvel.h"
#include "fakes/fake_wintab.h"

namespace cvl {
namespace {

using platform::WtPacket;

class Tablet : public testing::Test {
 protected:
  void SetUp() override {
    use_library(CORVEL_FAKE_WINTAB);
    fake_ = dlopen(CORVEL_FAKE_WINTAB, RTLD_NOW);
    ASSERT_NE(fake_, nullptr) << dlerror();
    state_ = reinterpret_cast<FakeWintabStateFn>(dlsym(fake_, "fake_wintab_state"))();
    reinterpret_cast<FakeWintabResetFn>(dlsym(fake_, "fake_wintab_reset"))();
    queue_ = reinterpret_cast<FakeWintabQueueFn>(dlsym(fake_, "fake_wintab_queue"));
    CVL_SetTabletWindowPlace(0, 0, 0, 0);
  }
  void TearDown() override {
    CVL_CloseTablet();
    tablet().tablet_origin = {};
    platform::wt_unload();
    if (fake_) dlclose(fake_);
  }
  static void use_library(const char* path) {
    CVL_CloseTablet();
    platform::wt_unload();
    setenv("CORVEL_WINTAB", path, 1);
  }
  void queue(std::vector<WtPacket> packets) { queue_(packets.data(), static_cast<int32_t>(packets.size())); }
  // Opens the context and reads one batch of the given packets.
  void open_with(std::vector<WtPacket> packets) {
    ASSERT_NE(CVL_InitTablet(&window_), 0);
    queue(std::move(packets));
    CVL_ReadTabletPackets();
  }

  int window_ = 0;
  void* fake_ = nullptr;
  FakeWintabState* state_ = nullptr;
  FakeWintabQueueFn queue_ = nullptr;
};

TEST_F(Tablet, PressureScalesTheAxisAndNeverReportsZero) {
  struct Case {
    uint32_t raw;
    int32_t pressure, unadjusted;
  } cases[] = {{512, 50, 50}, {0, 1, 0}, {10, 1, 0}, {11, 1, 1}, {1500, 146, 146}};
  std::vector<WtPacket> packets;
  for (const Case& c : cases) packets.push_back({0, 0, 0, c.raw});
  open_with(packets);
  for (int32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(CVL_ReadTabletPressure(i), cases[i].pressure) << cases[i].raw;
    EXPECT_EQ(CVL_ReadRawTabletPressure(i), cases[i].unadjusted) << cases[i].raw;
  }
}

TEST_F(Tablet, WithoutPacketsPressureRampsUpFromTheReset) {
  open_with({{0, 0, 0, 700}});
  EXPECT_EQ(CVL_ReadTabletPressure(0), 68);
  queue({{0, 0, 0, 1}, {0, 0, 0, 2}});
  EXPECT_EQ(CVL_ResetTabletPressure(), 2);  // the queued packets are discarded
  EXPECT_EQ(CVL_ReadTabletPackets(), 0);
  for (int32_t expected : {10, 35, 60, 85, 100, 100}) EXPECT_EQ(CVL_ReadTabletPressure(0), expected);
  // A packet read sets the level the ramp resumes from.
  queue({{0, 0, 0, 300}});
  CVL_ReadTabletPackets();
  EXPECT_EQ(CVL_ReadTabletPressure(0), 29);
  EXPECT_EQ(CVL_ReadTabletPressure(1), 29);
  EXPECT_EQ(CVL_ReadTabletPressure(1), 54);
}

TEST_F(Tablet, PositionsAreRelativeToTheClientOrigin) {
  CVL_SetTabletWindowPlace(120, 40, 1920, 1080);
  open_with({{0, 500, 300, 0}, {0, 100, 10, 0}});
  EXPECT_EQ(CVL_ReadTabletX(0), 500);  // before the origin is set
  EXPECT_EQ(CVL_ReadTabletY(0), 300);
  EXPECT_EQ(CVL_SetTabletOrigin(), 1);
  EXPECT_EQ(CVL_ReadTabletX(0), 380);
  EXPECT_EQ(CVL_ReadTabletY(0), 260);
  EXPECT_EQ(CVL_ReadTabletX(1), -20);
  EXPECT_EQ(CVL_ReadTabletY(1), -30);
}

TEST_F(Tablet, IndicesOutsideTheBatchReadAsNothing) {
  open_with({{0x10 | 0x4, 7, 8, 512}, {0x4, 9, 9, 512}});
  EXPECT_EQ(CVL_IsPacketInvert(0), 1);
  EXPECT_EQ(CVL_IsPacketInvert(1), 0);
  EXPECT_EQ(CVL_PacketStatus(0), 0x14);
  for (int32_t index : {-1, 2, 255, 256, INT32_MIN}) {
    EXPECT_EQ(CVL_IsPacketInvert(index), 0) << index;
    EXPECT_EQ(CVL_PacketStatus(index), 0) << index;
    EXPECT_EQ(CVL_ReadTabletX(index), 0) << index;
    EXPECT_EQ(CVL_ReadTabletY(index), 0) << index;
    EXPECT_EQ(CVL_ReadRawTabletPressure(index), 0) << index;
  }
}

TEST_F(Tablet, BatchesHoldAtMost256Packets) {
  ASSERT_NE(CVL_InitTablet(&window_), 0);
  EXPECT_EQ(state_->queue_size, 256);
  queue(std::vector<WtPacket>(300, WtPacket{0, 1, 2, 3}));
  EXPECT_EQ(CVL_ReadTabletPackets(), 256);
  EXPECT_EQ(CVL_ReadTabletPackets(), 44);
  EXPECT_EQ(CVL_ReadTabletX(43), 1);
  EXPECT_EQ(CVL_ReadTabletX(44), 0);
}

TEST_F(Tablet, ContextDescriptionReplacesOnlyItsFields) {
  CVL_SetTabletWindowPlace(0, 0, 1920, 1080);
  ASSERT_NE(CVL_InitTablet(&window_), 0);
  const platform::WtLogContext& c = state_->last_context;
  EXPECT_STREQ(c.name, "corvel tablet context");
  EXPECT_EQ(c.options, 1u);
  EXPECT_EQ(c.pkt_data, 0x582u);
  EXPECT_EQ(c.pkt_mode, 0u);
  EXPECT_EQ(c.move_mask, 0x582u);
  EXPECT_EQ(c.btn_up_mask, 0x7u);  // the default's button-down mask
  EXPECT_EQ(c.out_org_x, 0);
  EXPECT_EQ(c.out_org_y, 0);
  EXPECT_EQ(c.out_ext_x, 1920);
  EXPECT_EQ(c.out_ext_y, -1080);
  // Kept from the default context.
  EXPECT_EQ(c.status, 1u);
  EXPECT_EQ(c.pkt_rate, 100u);
  EXPECT_EQ(c.in_ext_x, 40000);
  EXPECT_EQ(c.sys_ext_y, 1024);
}

TEST_F(Tablet, DegenerateAxesCountAsNoPressureAxis) {
  struct Case {
    int32_t has_axis, min, max;
  } cases[] = {{0, 0, 1023}, {1, 5, 5}, {1, 900, 100}};
  for (const Case& c : cases) {
    state_->has_axis = c.has_axis;
    state_->axis_min = c.min;
    state_->axis_max = c.max;
    EXPECT_EQ(CVL_InitTablet(&window_), 0) << c.min << ".." << c.max;
    EXPECT_EQ(state_->opened, 0);
    EXPECT_EQ(CVL_CloseTablet(), 0);
  }
}

TEST_F(Tablet, ReopeningClosesTheOldContextAndFailuresLeaveNoneOpen) {
  ASSERT_NE(CVL_InitTablet(&window_), 0);
  ASSERT_NE(CVL_InitTablet(&window_), 0);
  EXPECT_EQ(state_->opened, 2);
  EXPECT_EQ(state_->closed, 1);

  state_->queue_fails = 1;
  EXPECT_EQ(CVL_InitTablet(&window_), 0);
  EXPECT_EQ(state_->opened, 3);
  EXPECT_EQ(state_->closed, 3);  // the previous one and the one without a queue
  EXPECT_EQ(CVL_CloseTablet(), 0);

  // A context that cannot be opened still reports the tablet, and reads as none.
  state_->queue_fails = 0;
  state_->open_fails = 1;
  EXPECT_NE(CVL_InitTablet(&window_), 0);
  queue({{0, 1, 1, 512}});
  EXPECT_EQ(CVL_ReadTabletPackets(), 0);
  EXPECT_EQ(CVL_SetTabletOrigin(), 0);
}

TEST_F(Tablet, WithoutTheLibraryEveryCallAnswersNoTablet) {
  use_library("/nonexistent/libwintab-missing.so");
  EXPECT_EQ(CVL_InitTablet(&window_), 0);
  EXPECT_EQ(CVL_SetTabletOrigin(), 0);
  EXPECT_EQ(CVL_ReadTabletPackets(), 0);
  EXPECT_EQ(CVL_ResetTabletPressure(), 0);
  EXPECT_EQ(CVL_ReadTabletPressure(0), 10);  // the level handed out last, unchanged
  EXPECT_EQ(CVL_ReadTabletPressure(0), 10);
  EXPECT_EQ(CVL_ReadRawTabletPressure(0), 0);
  EXPECT_EQ(CVL_IsPacketInvert(0), 0);
  EXPECT_EQ(CVL_PacketStatus(0), 0);
  EXPECT_EQ(CVL_ReadTabletX(0), 0);
  EXPECT_EQ(CVL_ReadTabletY(0), 0);
  EXPECT_EQ(CVL_CloseTablet(), 0);
  // The lookup is tried again once the library appears.
  setenv("CORVEL_WINTAB", CORVEL_FAKE_WINTAB, 1);
  EXPECT_NE(CVL_InitTablet(&window_), 0);
}

}  // namespace
}  // namespace cvl

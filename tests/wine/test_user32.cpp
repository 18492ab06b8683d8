// Against the machine's real user32: under the test scripts, Wine's, on a
// virtual X server with one screen.
#include <gtest/gtest.h>

#include <string>

#include "vantrel/base/late_binding.h"
#include "vantrel/monitors/clsMonitors.h"
#include "vantrel/platform/user32_display_service.h"

namespace vantrel {
namespace {

using namespace platform;

TEST(User32, RefreshListsTheOneScreen) {
  auto& svc = User32DisplayService();
  clsMonitors list(svc);
  const auto c = list.Monitors();
  ASSERT_EQ(c->Count(), 1);
  const auto& r = *(*c)(1);
  EXPECT_EQ(r.Left(), 0);
  EXPECT_EQ(r.Top(), 0);
  EXPECT_EQ(r.Width(), ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.Height(), ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(r.Right(), r.Width());
  EXPECT_EQ(r.Bottom(), r.Height());
  const std::string suffix = " (Primary Monitor)";
  ASSERT_GT(r.Monitor().size(), suffix.size());
  EXPECT_EQ(r.Monitor().substr(r.Monitor().size() - suffix.size()), suffix);
  EXPECT_EQ(r.Device(), "\\\\.\\DISPLAY1");
  EXPECT_EQ(r.MonitorGUID().rfind("\\\\?\\", 0), 0u) << r.MonitorGUID();
  EXPECT_EQ(c->Key(1), std::to_string(r.Handle()));
  EXPECT_EQ(r.Handle(), svc.MonitorFromPoint(0, 0, MONITOR_DEFAULTTONULL));
}

TEST(User32, TheRecordsHoldWhatThePlatformWrites) {
  auto& svc = User32DisplayService();
  DeviceModeRecord dm;
  dm.SetUInt16<DeviceMode::dmSize>(DeviceMode::kDeclaredSize);
  ASSERT_NE(svc.EnumDisplaySettingsA("\\\\.\\DISPLAY1",
                                     static_cast<std::int32_t>(ENUM_CURRENT_SETTINGS), dm),
            0);
  EXPECT_EQ(dm.Int32<DeviceMode::dmPositionX>(), 0);
  EXPECT_EQ(dm.Int32<DeviceMode::dmPositionY>(), 0);

  DisplayDeviceRecord dd;
  dd.SetInt32<DisplayDevice::cb>(DisplayDevice::kDeclaredSize);
  ASSERT_NE(svc.EnumDisplayDevicesA(nullptr, 0, dd, 0), 0);
  EXPECT_EQ(dd.UInt16<DisplayDevice::StateFlags>() & 1, 1);
  EXPECT_EQ(dd.CString<DisplayDevice::DeviceName>(), "\\\\.\\DISPLAY1");
  EXPECT_EQ(svc.EnumDisplayDevicesA(nullptr, 1000, dd, 0), 0);
}

TEST(User32, AFunctionTheLibraryLacksFailsWith453OnEveryCall) {
  Library user32(L"user32");
  LateBound<decltype(::GetSystemMetrics)> missing(user32, "VantrelNoSuchFunction");
  LateBound<decltype(::GetSystemMetrics)> present(user32, "GetSystemMetrics");
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(AttemptNumbered([&] { missing.get(); }), kFunctionMissing);
  }
  EXPECT_EQ(present.get()(SM_CXSCREEN), ::GetSystemMetrics(SM_CXSCREEN));
  Library nowhere(L"vantrel-no-such-library");
  LateBound<decltype(::GetSystemMetrics)> absent(nowhere, "GetSystemMetrics");
  EXPECT_EQ(AttemptNumbered([&] { absent.get(); }), kFunctionMissing);
}

TEST(User32, AnOptionalFunctionIsNullWhereTheLibraryLacksIt) {
  Library user32(L"user32.dll");
  EXPECT_EQ(FindFunction<decltype(::GetSystemMetrics)>(user32, "VantrelNoSuchFunction"), nullptr);
  auto* present = FindFunction<decltype(::GetSystemMetrics)>(user32, "GetSystemMetrics");
  ASSERT_NE(present, nullptr);
  EXPECT_EQ(present(SM_CYSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
}  // namespace vantrel

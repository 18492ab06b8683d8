// Against the machine's real user32: under the test scripts, Wine's, on a
// virtual X server with one screen.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "vantrel/base/handle_owners.h"
#include "vantrel/base/late_binding.h"
#include "vantrel/monitors/clsMonitors.h"
#include "vantrel/platform/system.h"
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

// Another program's window as the seam reads it: Wine's notepad, started
// here and ended before the test does.
TEST(User32, TopWindowsTellAnotherProgramsWindowAndItsImage) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  wchar_t command[] = L"notepad.exe";
  ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &started));
  const UniqueHandle thread(started.hThread);
  struct Ender {
    UniqueHandle process;
    ~Ender() {
      TerminateProcess(process.get(), 0);
      WaitForSingleObject(process.get(), 10000);
    }
  } child{UniqueHandle(started.hProcess)};
  WaitForInputIdle(started.hProcess, 10000);

  System& system = User32System();
  std::optional<TopWindowFacts> found;
  for (int k = 0; k < 100 && !found; ++k, Sleep(100)) {
    for (const TopWindowFacts& w : system.TopWindows()) {
      if (w.process_id == started.dwProcessId && w.visible) found = w;
    }
  }
  ASSERT_TRUE(found);
  EXPECT_EQ(found->thread_id, started.dwThreadId);
  EXPECT_EQ(found->class_name, "Notepad");
  EXPECT_NE(found->title.find("Notepad"), std::string::npos) << found->title;
  EXPECT_FALSE(found->tool_window || found->owned || found->shell);
  EXPECT_EQ(found->cloaked, 0u);
  EXPECT_EQ(system.ImageName(started.dwProcessId), "notepad.exe");
  EXPECT_TRUE(system.PlaceBelow(found->handle, 0));

  TerminateProcess(child.process.get(), 0);
  ASSERT_EQ(WaitForSingleObject(child.process.get(), 10000), WAIT_OBJECT_0);
  for (int k = 0; k < 50 && IsWindow(reinterpret_cast<HWND>(found->handle)); ++k) Sleep(100);
  EXPECT_EQ(system.Show(found->handle, show_command::kNormal), CallResult{kInvalidWindowHandle});
}

}  // namespace
}  // namespace vantrel

// ModeChange against Wine's user32 on the three-monitor layout: the right
// display set to 800 x 600 and put back on demand, read in this process,
// which sees its own changes; and a child (`--set`) that sets it and returns
// from main without restoring, so that only the guard at its exit puts it
// back, read by a new process (`--read`): a running one keeps seeing the
// mode it started with. Both answer width * 10000 + height as exit code.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

#include "vantrel/displays/mode_change.h"
#include "vantrel/displays/modes.h"

namespace vantrel {
namespace {

const Display& Right(const Displays& displays) {
  const Display* right = &displays[0];
  for (const Display& d : displays) {
    if (d.bounds.left > right->bounds.left) right = &d;
  }
  return *right;
}

DWORD SizeCode(const DisplayMode& m) { return static_cast<DWORD>(m.width * 10000 + m.height); }

// 800 x 600 as the display offers it at the bits in use.
DisplayMode Small(const Display& d) {
  return ClosestMode(d, {800, 600, d.current_mode.bits_per_pixel, 0}).value_or(DisplayMode{});
}

// The right display once two reads 50 ms apart agree: Wine may answer from a
// half applied change for a moment.
Display SettledRight() {
  Display last = Right(Displays::Take({.modes = false}));
  for (int reads = 0; reads < 40; ++reads) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const Display now = Right(Displays::Take({.modes = false}));
    if (std::exchange(last, now) == now) break;
  }
  return last;
}

// This program again with `argument`: its exit code.
DWORD RunSelf(const wchar_t* argument) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(path) + L"\" " + argument;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  DWORD code = 0;
  if (!CreateProcessW(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return code;
  }
  WaitForSingleObject(process.hProcess, 60000);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

TEST(ModeChangeOnWine, SetsTheRightDisplayAndPutsItBackOnDemand) {
  const Displays start = Displays::Take();
  ASSERT_EQ(start.size(), 3u) << "runs on the three-monitor layout";
  const Display& right = Right(start);
  const DisplayMode small = Small(right);
  ASSERT_EQ(SizeCode(small), 8000600u) << "800 x 600 offered";

  ModeChange change = ModeChange::Set(right, small).value();
  const Display set = SettledRight();
  EXPECT_EQ(set.current_mode, small);
  EXPECT_EQ(set.bounds.width(), 800);

  const Result<void> restored = change.Restore();
  ASSERT_TRUE(restored) << restored.error().message;
  const Display back = SettledRight();
  EXPECT_EQ(back.bounds, right.bounds);
  EXPECT_EQ(back.current_mode, right.current_mode);
}

TEST(ModeChangeOnWine, AProcessThatForgetsItsChangeGetsTheModeBackAtExit) {
  const DWORD start = SizeCode(Right(Displays::Take({.modes = false})).current_mode);
  EXPECT_EQ(RunSelf(L"--set"), 8000600u) << "the child set 800 x 600";
  EXPECT_EQ(RunSelf(L"--read"), start) << "a new process sees the mode back";
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  using namespace vantrel;
  if (argc == 2 && std::strcmp(argv[1], "--set") == 0) {
    const Displays displays = Displays::Take();
    // Forgotten, never ended; a failure throws and ends the child.
    (void)new ModeChange(ModeChange::Set(Right(displays), Small(Right(displays))).value());
    return static_cast<int>(SizeCode(SettledRight().current_mode));
  }
  if (argc == 2 && std::strcmp(argv[1], "--read") == 0) {
    return static_cast<int>(SizeCode(Right(Displays::Take({.modes = false})).current_mode));
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

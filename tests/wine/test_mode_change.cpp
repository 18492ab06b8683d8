// ModeChange against Wine's user32 on the three-monitor layout: the right
// display set to 800 x 600 and put back on demand, read in this process,
// which sees its own changes; and a child process that sets it and returns
// from main without restoring, so that only the guard at its exit can put it
// back. That is read by a new process, since a running one keeps seeing the
// mode it started with after another program changes it.
//   test_mode_change.exe --set    the child: sets, forgets the change
//   test_mode_change.exe --read   the right display's size in use
// Both answer with their exit code: width * 10000 + height as they see it.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

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

// The layout once two reads 50 ms apart agree: Wine may answer from a half
// applied change for a moment.
Displays Settled() {
  Displays last = Displays::Take({.modes = false});
  for (int reads = 0; reads < 40; ++reads) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Displays now = Displays::Take({.modes = false});
    if (now == last) break;
    last = std::move(now);
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
  if (!CreateProcessW(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 0;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0;
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

  const Result<ModeChange> refused = ModeChange::Set(right, {801, 600, 0, 0});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().code, ErrorCode::kInvalidArgument) << refused.error().message;

  ModeChange change = ModeChange::Set(right, small).value();
  EXPECT_EQ(change.saved_mode(), right.current_mode);
  const Displays after = Settled();
  const Display& set = Right(after);
  EXPECT_EQ(set.current_mode, small);
  EXPECT_EQ(set.bounds.width(), 800);

  const Result<void> restored = change.Restore();
  ASSERT_TRUE(restored) << restored.error().message;
  const Displays back = Settled();
  ASSERT_EQ(back.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(back[k].bounds, start[k].bounds) << start[k].device_name;
    EXPECT_EQ(back[k].current_mode, start[k].current_mode) << start[k].device_name;
  }
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
    Result<ModeChange> set = ModeChange::Set(Right(displays), Small(Right(displays)));
    if (!set) {
      std::fprintf(stderr, "--set: %s\n", set.error().message.c_str());
      return 1;
    }
    (void)new ModeChange(std::move(set).value());  // forgotten: never ends
    return static_cast<int>(SizeCode(Right(Settled()).current_mode));
  }
  if (argc == 2 && std::strcmp(argv[1], "--read") == 0) {
    return static_cast<int>(SizeCode(Right(Displays::Take({.modes = false})).current_mode));
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

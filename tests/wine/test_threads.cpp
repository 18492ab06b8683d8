// The library from many threads at once, against the real user32 on the
// three-monitor layout: eight threads, each with its own list and windows,
// call every member 200 times; every answer must equal what one thread alone
// gets.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "vantrel/monitors/clsMonitors.h"
#include "vantrel/platform/user32_display_service.h"
#include "vantrel/win32/win32_toolkit.h"

namespace vantrel {
namespace {

using Record =
    std::tuple<std::string, std::int32_t, std::string, std::string, std::string, std::int32_t,
               std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
               std::int32_t, std::int32_t, std::int32_t, std::int32_t>;

struct Answers {
  std::vector<Record> list;
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  std::int32_t of_window = 0, of_point = 0;
  bool centring_result = true;
  RECT centred{};
  friend bool operator==(const Answers& a, const Answers& b) {
    return a.list == b.list && a.left == b.left && a.top == b.top && a.width == b.width &&
           a.height == b.height && a.of_window == b.of_window && a.of_point == b.of_point &&
           a.centring_result == b.centring_result && EqualRect(&a.centred, &b.centred);
  }
};

// A hidden window of the calling thread's own, so that moving it never waits
// on another thread's messages.
class Window {
 public:
  Window(int x, int y, int w, int h)
      : hwnd_(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, x, y, w, h, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  ~Window() { DestroyWindow(hwnd_); }
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Every member once, in the order a program might use them.
Answers AskEverything(clsMonitors& list, const Window& target, const Window& reference) {
  Answers a;
  list.Refresh();
  for (std::int32_t k = 1; k <= list.Monitors()->Count(); ++k) {
    const auto& m = *(*list.Monitors())(k);
    a.list.emplace_back(list.Monitors()->Key(k), m.RefreshRate(), m.MonitorGUID(), m.Monitor(),
                        m.Device(), m.Handle(), m.Height(), m.Width(), m.Left(), m.Right(), m.Top(),
                        m.Bottom(), m.WorkLeft(), m.WorkRight(), m.WorkTop(), m.WorkBottom());
  }
  a.left = list.DesktopLeft();
  a.top = list.DesktopTop();
  a.width = list.DesktopWidth();
  a.height = list.DesktopHeight();
  a.of_window = list.GetMonitorFromWindow(
      static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(reference.get())),
      MONITOR_DEFAULTTOPRIMARY);
  a.of_point = list.GetMonitorFromXYPoint(-500, 300, MONITOR_DEFAULTTONULL);
  SetWindowPos(target.get(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const ui::Win32Form on(reference.get(), ui::SystemScreen());
  ui::Win32Form form(target.get(), ui::SystemScreen());
  a.centring_result =
      list.CenterFormOnMonitor(form, ui::Value{static_cast<const ui::Object*>(&on)});
  GetWindowRect(target.get(), &a.centred);
  return a;
}

Answers AskAlone() {
  // The reference window lies on the monitor left of the primary.
  Window target(0, 0, 300, 200), reference(-600, 300, 50, 50);
  clsMonitors list(platform::User32DisplayService(), &ui::SystemScreen());
  return AskEverything(list, target, reference);
}

TEST(Threads, EightListsAtOnceAnswerAsOneDoes) {
  constexpr std::size_t kThreads = 8;
  constexpr int kRounds = 200;
  std::atomic<int> ready{0}, rounds{0};
  std::vector<Answers> first(kThreads);
  std::vector<int> differing(kThreads, 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      Window target(0, 0, 300, 200), reference(-600, 300, 50, 50);
      // All start together, so that the first calls, which bind the
      // functions by name, race each other too.
      ++ready;
      while (ready < static_cast<int>(kThreads)) std::this_thread::yield();
      clsMonitors list(platform::User32DisplayService(), &ui::SystemScreen());
      for (int k = 0; k < kRounds; ++k) {
        Answers a = AskEverything(list, target, reference);
        if (k == 0) {
          first[t] = std::move(a);
        } else if (!(a == first[t])) {
          ++differing[t];
        }
        ++rounds;
      }
    });
  }
  for (auto& t : threads) t.join();

  const Answers alone = AskAlone();
  ASSERT_EQ(alone.list.size(), 3u);
  ASSERT_NE(alone.of_point, 0);
  EXPECT_EQ(rounds, static_cast<int>(kThreads) * kRounds);
  for (std::size_t t = 0; t < kThreads; ++t) {
    EXPECT_TRUE(first[t] == alone) << "thread " << t;
    EXPECT_EQ(differing[t], 0) << "thread " << t;
  }
}

}  // namespace
}  // namespace vantrel

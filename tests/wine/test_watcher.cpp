// The watcher against the real user32 on the three-monitor layout: the test
// changes the layout itself (Wine tells of a change only when it is made
// through ChangeDisplaySettingsEx) and checks each event against a snapshot
// taken afterwards. The layout is put back at the end.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "display_change.h"
#include "simulated_system.h"
#include "test_watcher_layouts.h"
#include "vantrel/displays/watcher_over_facts.h"

namespace vantrel {

// Failures print displays readably.
void PrintTo(const Display& d, std::ostream* os) {
  *os << d.device_name << " \"" << d.name << "\" (" << d.bounds.left << ',' << d.bounds.top << ")-("
      << d.bounds.right << ',' << d.bounds.bottom << ") " << d.current_mode.width << 'x'
      << d.current_mode.height << (d.primary ? " primary" : "") << " connection "
      << ToString(d.connection);
}

namespace {

using namespace std::chrono_literals;

// One adapter's size and position; 0 x 0 turns the display off.
LONG Apply(const std::string& device, std::int32_t width, std::int32_t height, Point position) {
  return probe::ChangeDisplay(device.c_str(), width, height, {position.x, position.y});
}

const Display* ByDevice(const Displays& displays, const std::string& device) {
  for (const Display& d : displays) {
    if (d.device_name == device) return &d;
  }
  return nullptr;
}

// The events a watcher delivers, with the thread each ran on.
class Events {
 public:
  DisplayWatcher::Callback Callback() {
    return [this](const DisplayChanges& c) {
      std::lock_guard lock(mutex_);
      events_.push_back(c);
      threads_.push_back(GetCurrentThreadId());
      arrived_.notify_all();
    };
  }
  // The next event not yet taken, waiting up to `timeout` for it.
  std::optional<DisplayChanges> Next(std::chrono::milliseconds timeout = 10s) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [&] { return events_.size() > taken_; })) return {};
    return events_[taken_++];
  }
  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return events_.size();
  }
  std::vector<DWORD> Threads() {
    std::lock_guard lock(mutex_);
    return threads_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<DisplayChanges> events_;
  std::vector<DWORD> threads_;
  std::size_t taken_ = 0;
};

// The layout once it holds still, read as the watcher reads it (no modes).
// Wine answers some queries with failure for a while after a change, even
// once the change has returned.
Displays SettledLayout() {
  Displays last = Displays::Take({.modes = false});
  for (int same = 0, reads = 0; same < 4 && reads < 100; ++reads) {
    std::this_thread::sleep_for(50ms);
    Displays now = Displays::Take({.modes = false});
    same = now == last ? same + 1 : 0;
    last = std::move(now);
  }
  return last;
}

// The event must be the layout as it now is, told against the one before.
void ExpectTells(const DisplayChanges& event, const Displays& before) {
  const Displays after = SettledLayout();
  EXPECT_EQ(event.now, after);
  const DisplayChanges expected = Difference(before, after);
  EXPECT_EQ(event.added, expected.added);
  EXPECT_EQ(event.removed, expected.removed);
  ASSERT_EQ(event.changed.size(), expected.changed.size());
  for (std::size_t i = 0; i < event.changed.size(); ++i) {
    EXPECT_EQ(event.changed[i].after, expected.changed[i].after);
    EXPECT_EQ(event.changed[i].facts, expected.changed[i].facts);
  }
}

std::vector<std::string> Keys(const std::vector<Display>& displays) {
  std::vector<std::string> keys;
  for (const Display& d : displays) keys.push_back(d.key);
  return keys;
}

// The layout as the run starts, put back after every test that changes it.
class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start_ = SettledLayout();
    ASSERT_EQ(start_.size(), 3u) << "runs on the three-monitor layout";
  }
  void TearDown() override {
    const Displays layout = SettledLayout();
    for (const Display& d : start_) {
      const Display* now = ByDevice(layout, d.device_name);
      if (now && now->bounds == d.bounds) continue;
      EXPECT_EQ(Apply(d.device_name, static_cast<std::int32_t>(d.bounds.width()),
                      static_cast<std::int32_t>(d.bounds.height()), {d.bounds.left, d.bounds.top}),
                DISP_CHANGE_SUCCESSFUL)
          << "putting back " << d.device_name;
    }
  }
  // A smaller mode the display offers, 800 x 600 where it has it.
  static std::optional<DisplayMode> SmallerMode(const Display& d) {
    std::optional<DisplayMode> pick;
    const Displays with_modes = Displays::Take();
    for (const DisplayMode& m : with_modes.FindByKey(d.key)->modes) {
      if (m.width >= d.current_mode.width || m.height >= d.current_mode.height) continue;
      if (m.width == 800 && m.height == 600) return m;
      if (!pick || m.width > pick->width) pick = m;
    }
    return pick;
  }
  Displays start_;
};

using WatcherOnWine = LayoutTest;

TEST_F(WatcherOnWine, IdleWatcherNeverWakes) {
  Events events;
  DisplayWatcher watcher(events.Callback());
  EXPECT_EQ(watcher.Current(), start_);
  std::this_thread::sleep_for(5s);
  EXPECT_EQ(watcher.Wakeups(), 0u);
  EXPECT_EQ(events.Count(), 0u);
}

void BroadcastSettingChange(WPARAM what) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, what, 0, SMTO_ABORTIFHUNG, 2000, &result);
}

// Broadcasts without a change of layout: another setting wakes it only to
// be passed over; a burst of work-area broadcasts is read once, and since
// nothing changed, no event comes. The quiet time is long beside the burst,
// however slow the machine.
TEST_F(WatcherOnWine, BurstOfBroadcastsIsReadOnceWithNoEventForNoChange) {
  Events events;
  DisplayWatcher watcher(events.Callback(), {.quiet = 3s});
  BroadcastSettingChange(SPI_SETDESKWALLPAPER);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(watcher.Wakeups(), 1u);

  constexpr int kBurst = 5;
  for (int i = 0; i < kBurst; ++i) BroadcastSettingChange(SPI_SETWORKAREA);
  EXPECT_EQ(watcher.Wakeups(), 1u + kBurst);
  std::this_thread::sleep_for(4s);
  // Besides the messages, the timer for the reads: two that agree, or a few
  // more should Wine answer differently in between; not a settling each.
  const std::uint64_t ticks = watcher.Wakeups() - 1 - kBurst;
  EXPECT_GE(ticks, 2u);
  EXPECT_LE(ticks, 4u);
  EXPECT_EQ(events.Count(), 0u);
  EXPECT_EQ(watcher.Current(), start_);
}

// One display's resolution: one event, the display changed in bounds and
// mode; then the watcher is idle again, its timer stopped.
TEST_F(WatcherOnWine, ModeChangeGivesOneEvent) {
  Events events;
  DisplayWatcher watcher(events.Callback());
  const Display& right = *ByDevice(start_, "\\\\.\\DISPLAY3");
  const std::optional<DisplayMode> smaller = SmallerMode(right);
  ASSERT_TRUE(smaller) << "no smaller mode on " << right.device_name;

  ASSERT_EQ(Apply(right.device_name, smaller->width, smaller->height,
                  {right.bounds.left, right.bounds.top}),
            DISP_CHANGE_SUCCESSFUL);
  const std::optional<DisplayChanges> event = events.Next();
  ASSERT_TRUE(event);
  ExpectTells(*event, start_);
  EXPECT_TRUE(event->added.empty());
  EXPECT_TRUE(event->removed.empty());
  ASSERT_FALSE(event->changed.empty());
  const DisplayChange* mine = nullptr;
  for (const DisplayChange& c : event->changed) {
    if (c.after.key == right.key) mine = &c;
  }
  ASSERT_TRUE(mine);
  EXPECT_TRUE(Any(mine->facts & ChangedFacts::kBounds));
  EXPECT_TRUE(Any(mine->facts & ChangedFacts::kMode));
  EXPECT_EQ(mine->after.bounds.width(), smaller->width);
  EXPECT_EQ(mine->after.bounds.height(), smaller->height);
  EXPECT_EQ(watcher.Current(), event->now);

  // Settled, it sleeps: no timer left behind, no second event.
  const std::uint64_t woken = watcher.Wakeups();
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(watcher.Wakeups(), woken);
  EXPECT_EQ(events.Count(), 1u);

  // And back.
  ASSERT_EQ(Apply(right.device_name, static_cast<std::int32_t>(right.bounds.width()),
                  static_cast<std::int32_t>(right.bounds.height()),
                  {right.bounds.left, right.bounds.top}),
            DISP_CHANGE_SUCCESSFUL);
  const std::optional<DisplayChanges> back = events.Next();
  ASSERT_TRUE(back);
  ExpectTells(*back, event->now);
  EXPECT_EQ(ByDevice(back->now, right.device_name)->bounds, right.bounds);
}

// The left display off and on again: removed, then added with its key.
TEST_F(WatcherOnWine, DisplayOffAndOnAgain) {
  Events events;
  DisplayWatcher watcher(events.Callback());
  const Display& left = *ByDevice(start_, "\\\\.\\DISPLAY2");

  ASSERT_EQ(Apply(left.device_name, 0, 0, {0, 0}), DISP_CHANGE_SUCCESSFUL);
  const std::optional<DisplayChanges> off = events.Next();
  ASSERT_TRUE(off);
  ExpectTells(*off, start_);
  EXPECT_EQ(Keys(off->removed), std::vector<std::string>{left.key});
  EXPECT_TRUE(off->added.empty());
  EXPECT_EQ(off->now.size(), 2u);

  ASSERT_EQ(
      Apply(left.device_name, static_cast<std::int32_t>(left.bounds.width()),
            static_cast<std::int32_t>(left.bounds.height()), {left.bounds.left, left.bounds.top}),
      DISP_CHANGE_SUCCESSFUL);
  const std::optional<DisplayChanges> on = events.Next();
  ASSERT_TRUE(on);
  ExpectTells(*on, off->now);
  EXPECT_EQ(Keys(on->added), std::vector<std::string>{left.key});
  EXPECT_TRUE(on->removed.empty());
  ASSERT_EQ(on->added.size(), 1u);
  EXPECT_EQ(on->added[0].bounds.width(), left.bounds.width());
  EXPECT_EQ(on->added[0].bounds.height(), left.bounds.height());
  EXPECT_EQ(events.Count(), 2u);
}

// Stopped while it settles a change it has heard of: its thread and window
// end, and no callback comes. The long quiet keeps the settling going past
// the change's return, which may come well after its broadcast.
TEST_F(WatcherOnWine, StopEndsTheThreadWithNoCallbackAfter) {
  Events events;
  DisplayWatcher::Options options;
  options.quiet = 60s;
  DisplayWatcher watcher(events.Callback(), options);
  HWND window = FindWindowW(L"VantrelDisplayWatcher", nullptr);
  ASSERT_TRUE(window);
  const DWORD thread_id = GetWindowThreadProcessId(window, nullptr);
  ASSERT_NE(thread_id, GetCurrentThreadId());
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, thread_id);
  ASSERT_TRUE(thread);
  SendMessageW(window, WM_CLOSE, 0, 0);  // others cannot end it
  EXPECT_TRUE(IsWindow(window));

  const Display& right = *ByDevice(start_, "\\\\.\\DISPLAY3");
  const std::optional<DisplayMode> smaller = SmallerMode(right);
  ASSERT_TRUE(smaller);
  // The broadcast is handled before the change returns.
  ASSERT_EQ(Apply(right.device_name, smaller->width, smaller->height,
                  {right.bounds.left, right.bounds.top}),
            DISP_CHANGE_SUCCESSFUL);
  EXPECT_GT(watcher.Wakeups(), 0u);
  watcher.Stop();
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_FALSE(IsWindow(window));
  watcher.Stop();  // twice does nothing

  std::this_thread::sleep_for(4s);
  EXPECT_EQ(events.Count(), 0u);
}

// With kCallerThread the event comes out of this thread's own message loop,
// the change being made on another thread.
TEST_F(WatcherOnWine, CallerThreadDeliversInItsMessageLoop) {
  Events events;
  DisplayWatcher::Options options;
  options.thread = DisplayWatcher::Options::Thread::kCallerThread;
  DisplayWatcher watcher(events.Callback(), options);

  const Display& right = *ByDevice(start_, "\\\\.\\DISPLAY3");
  const std::optional<DisplayMode> smaller = SmallerMode(right);
  ASSERT_TRUE(smaller);
  LONG result = DISP_CHANGE_FAILED;
  std::atomic<bool> changed{false};
  std::thread changer([&] {
    result = Apply(right.device_name, smaller->width, smaller->height,
                   {right.bounds.left, right.bounds.top});
    changed = true;
  });

  // Until the change has returned too: its broadcasts wait for this loop.
  const auto give_up = std::chrono::steady_clock::now() + 10s;
  while ((events.Count() == 0 || !changed) && std::chrono::steady_clock::now() < give_up) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  changer.join();
  EXPECT_EQ(result, DISP_CHANGE_SUCCESSFUL);
  ASSERT_EQ(events.Count(), 1u);
  EXPECT_EQ(events.Threads(), std::vector<DWORD>{GetCurrentThreadId()});
  ExpectTells(*events.Next(0ms), start_);
  watcher.Stop();
}

// The real window over simulated facts, for what Wine cannot do: change one
// display's scale, or hold a callback while Current() is read.
class OverFacts : public ::testing::Test {
 protected:
  static HWND Window() { return FindWindowW(L"VantrelDisplayWatcher", nullptr); }
  platform::SimulatedSystem facts{testing_layouts::Simulated(testing_layouts::ThreeMonitors())};
  const DisplayWatcher::Options fast{.quiet = 10ms, .settle_interval = 10ms};
};

// Each message a scale change may come with gives a kScale event.
TEST_F(OverFacts, EachMessageOfAScaleChangeIsHeard) {
  Events events;
  WatcherOverFacts watcher(facts, events.Callback(), fast);
  std::uint32_t dpi = 96;
  for (const auto& [message, wparam] : {std::pair<UINT, WPARAM>{WM_DPICHANGED, 0x00780078},
                                        {WM_DISPLAYCHANGE, 32},
                                        {WM_SETTINGCHANGE, SPI_SETLOGICALDPIOVERRIDE},
                                        {WM_SETTINGCHANGE, SPI_SETWORKAREA}}) {
    facts.Change([&](platform::SimulatedDisplays& l) { l.displays[2].dpi = dpi += 24; });
    SendMessageW(Window(), message, wparam, 0);
    const std::optional<DisplayChanges> event = events.Next();
    ASSERT_TRUE(event && event->changed.size() == 1) << "message " << message;
    EXPECT_EQ(event->changed[0].facts, ChangedFacts::kScale);
    EXPECT_EQ(event->changed[0].after.dpi, dpi);
  }
  EXPECT_EQ(facts.counts().modes, 0);  // no mode list unless asked for
}

// vantrel-list --watch prints Current(), then each event: a change whose
// callback has not returned must not be in Current() yet, or it is printed
// twice. Once it has (Stop waits for it), it is.
TEST_F(OverFacts, CurrentTakesInAnEventOnceItsCallbackHasReturned) {
  const Displays before = Displays::Take(facts, {.modes = false});
  std::promise<void> entered, release;
  const std::shared_future<void> released = release.get_future().share();
  WatcherOverFacts watcher(
      facts, [&](const DisplayChanges&) { entered.set_value(), released.wait(); }, fast);
  facts.Change([](platform::SimulatedDisplays& l) { l.displays[2].bounds.right -= 224; });
  SendMessageW(Window(), WM_DISPLAYCHANGE, 32, 0);
  ASSERT_EQ(entered.get_future().wait_for(10s), std::future_status::ready);
  EXPECT_EQ(watcher.Current(), before);
  release.set_value();
  watcher.Stop();
  EXPECT_EQ(watcher.Current(), Displays::Take(facts, {.modes = false}));
}

}  // namespace
}  // namespace vantrel

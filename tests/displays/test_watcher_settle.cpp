// Settling: a burst of messages gives one event, half-updated layouts are
// read past, and idle means no timer. Time and the timer are simulated.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "test_watcher_layouts.h"
#include "vantrel/displays/display_settle.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using testing_layouts::Layout;
using testing_layouts::Simulated;
using testing_layouts::Snapshot;
using testing_layouts::ThreeMonitors;
using Clock = DisplaySettler::Clock;

// The simulated facts service, its layout changing at given times, and a
// message loop with the one timer the settler asks for, run on simulated
// time.
class Simulation {
 public:
  explicit Simulation(SettleTiming timing = {},
                      const platform::SimulatedDisplays& start = Simulated(ThreeMonitors()),
                      bool modes_reader = false)
      : settler_(
            ReadOf(start), [this] { return Read(); }, timing,
            modes_reader
                ? DisplaySettler::ModesReader([this](const Displays& d) { return Modes(d); })
                : nullptr),
        lean_(modes_reader) {
    platform_[0ms] = start;
  }
  static DisplaysRead ReadOf(const platform::SimulatedDisplays& layout) {
    platform::SimulatedSystem service(layout);
    return ReadDisplays(service);
  }

  // From `at` on, the service reports `layout`.
  void PlatformAt(milliseconds at, const platform::SimulatedDisplays& layout) {
    platform_[at] = layout;
  }
  void PlatformAt(milliseconds at, const Layout& layout) { PlatformAt(at, Simulated(layout)); }

  void MessageAt(milliseconds at) {
    RunUntil(at);
    Apply(settler_.OnMessage(Time()));
  }

  // Fires the timer each time it falls due, up to `until`.
  void RunUntil(milliseconds until) {
    while (timer_ && *timer_ <= until) {
      now_ = *timer_;
      ++ticks_;
      Apply(settler_.OnTimer(Time()));
    }
    now_ = until;
  }

  struct Event {
    milliseconds at;
    DisplayChanges changes;
  };
  const std::vector<Event>& events() const { return events_; }
  const std::vector<milliseconds>& reads() const { return reads_; }
  const std::vector<milliseconds>& modes_reads() const { return modes_reads_; }
  std::optional<milliseconds> timer() const { return timer_; }
  int ticks() const { return ticks_; }
  DisplaySettler& settler() { return settler_; }
  void FailNextRead() { fail_next_read_ = true; }

 private:
  Clock::time_point Time() const { return Clock::time_point(now_); }

  DisplaysRead Read() {
    if (fail_next_read_) {
      fail_next_read_ = false;
      throw std::bad_alloc();
    }
    reads_.push_back(now_);
    service_.layout() = std::prev(platform_.upper_bound(now_))->second;
    return ReadDisplays(service_, {.modes = !lean_});
  }
  Displays Modes(const Displays& displays) {
    modes_reads_.push_back(now_);
    return ReadModes(service_, displays);
  }

  void Apply(const DisplaySettler::Step& step) {
    timer_.reset();
    if (step.timer) timer_ = now_ + *step.timer;
    if (step.changes) events_.push_back({now_, *step.changes});
  }

  std::map<milliseconds, platform::SimulatedDisplays> platform_;
  platform::SimulatedSystem service_;
  DisplaySettler settler_;
  const bool lean_;  // reads without modes
  milliseconds now_{0};
  std::optional<milliseconds> timer_;
  int ticks_ = 0;
  bool fail_next_read_ = false;
  std::vector<Event> events_;
  std::vector<milliseconds> reads_;
  std::vector<milliseconds> modes_reads_;
};

Layout RightResized() {
  Layout l = ThreeMonitors();
  l.monitors[2].bounds = {1280, 0, 2080, 600};
  return l;
}

Layout LeftOff() {
  Layout l = ThreeMonitors();
  l.monitors.erase(l.monitors.begin() + 1);
  return l;
}

TEST(WatcherSettling, IdleAsksForNoTimerAndReadsNothing) {
  Simulation sim;
  sim.RunUntil(60s);
  EXPECT_FALSE(sim.timer());
  // A stray tick (one already queued when its timer was stopped).
  const DisplaySettler::Step step = sim.settler().OnTimer(Clock::time_point(1s));
  EXPECT_FALSE(step.timer || step.settled || step.changes);
  EXPECT_TRUE(sim.reads().empty());
  EXPECT_TRUE(sim.settler().Idle());
}

TEST(WatcherSettling, BurstGivesOneEventOnceQuietAndTwoReadsAgree) {
  Simulation sim;  // quiet 100 ms, reads 50 ms apart
  sim.PlatformAt(0ms, RightResized());
  for (auto at : {0ms, 30ms, 60ms, 90ms}) sim.MessageAt(at);
  EXPECT_EQ(sim.timer(), 190ms);
  sim.RunUntil(10s);

  EXPECT_EQ(sim.reads(), (std::vector<milliseconds>{190ms, 240ms}));
  ASSERT_EQ(sim.events().size(), 1u);
  EXPECT_EQ(sim.events()[0].at, 240ms);
  const DisplayChanges& c = sim.events()[0].changes;
  EXPECT_EQ(c.settling, Settling::kSettled);
  EXPECT_TRUE(c.added.empty() && c.removed.empty());
  ASSERT_EQ(c.changed.size(), 1u);
  EXPECT_EQ(c.changed[0].after.number, 3);
  EXPECT_EQ(c.now, Snapshot(RightResized()));
  EXPECT_EQ(sim.settler().Current(), Snapshot(RightResized()));
  // Settled: the timer is stopped, not left ticking.
  EXPECT_FALSE(sim.timer());
  EXPECT_EQ(sim.ticks(), 2);
}

// The platform first lists the monitor whose adapter is gone, then drops it:
// the event tells of the final layout only.
TEST(WatcherSettling, HalfUpdatedReadsAreReadPast) {
  Simulation sim;
  platform::SimulatedDisplays half = Simulated(ThreeMonitors());
  platform::SimulatedDisplay& gone = *half.Find("\\\\.\\DISPLAY2");
  gone.target.reset();  // its adapter no longer answers
  gone.device.reset();
  gone.current_mode.reset();
  gone.modes.clear();
  sim.PlatformAt(0ms, half);
  sim.PlatformAt(120ms, LeftOff());
  sim.MessageAt(0ms);
  sim.RunUntil(10s);

  EXPECT_EQ(sim.reads(), (std::vector<milliseconds>{100ms, 150ms, 200ms}));
  ASSERT_EQ(sim.events().size(), 1u);
  const DisplayChanges& c = sim.events()[0].changes;
  EXPECT_TRUE(c.added.empty() && c.changed.empty());
  ASSERT_EQ(c.removed.size(), 1u);
  EXPECT_EQ(c.removed[0].number, 2);
  EXPECT_EQ(c.now, Snapshot(LeftOff()));
}

// One read over `layout` as bench/watcher_bench.cpp records them
// (VANTREL_BENCH_RECORD): "F" where DisplayConfig failed, else per display
// "+" where it listed the display's path, "-" where it did not.
platform::SimulatedDisplays Answering(const Layout& layout, std::string_view paths) {
  platform::SimulatedDisplays s = Simulated(layout);
  s.has_display_config = paths != "F";
  for (std::size_t k = 0; k < paths.size(); ++k) {
    if (paths[k] == '-') s.displays[k].target.reset();
  }
  return s;
}

// From the layout before, reads after the change's broadcast at 0, each its
// ms and its answer; the first two recorded under Wine (a loaded machine, a
// quiet one) while ChangeDisplaySettingsExA applied a change: DisplayConfig
// flickers between failing, no paths and all until the change returns. One
// event, of the last read's layout, taken once it holds.
TEST(WatcherSettling, ReplayedReadsGiveOneEventOfTheLayoutThatHolds) {
  const struct {
    Layout before, after;
    std::string_view before_paths, reads;
    Settling settling;
  } cases[] = {
      {ThreeMonitors(), RightResized(), "+++",
       "0+++ 4F 38+++ 40F 45+++ 143F 148--- 241+++ 246F 250--- 338+++ 343F 347--- 437+++ 442F "
       "446--- 523+++ 531F 539+++ 601F 604--- 673+++ 678F 773+++ 779F 780--+ 782F 783+++ 881F "
       "886--- 978+++",
       Settling::kSettled},
      {ThreeMonitors(), LeftOff(), "+++",
       "0++ 41F 46-+ 47F 48-- 93++ 103F 112-- 113++ 156F 158-- 191++ 196F 198-- 230++ 234F 237-- "
       "272++ 277F 311++ 315F 318-- 349++ 353F 388++ 392F 427++",
       Settling::kSettled},
      // DisplayConfig fails from the change on: the last read, told as such.
      {ThreeMonitors(), RightResized(), "+++", "0F", Settling::kHalfApplied},
      // A system without DisplayConfig, or without a path for one display.
      {ThreeMonitors(), RightResized(), "F", "0F", Settling::kSettled},
      {ThreeMonitors(), RightResized(), "+-+", "0+-+", Settling::kSettled},
      // A display that comes without a path while the others have theirs.
      {LeftOff(), ThreeMonitors(), "++", "0+-+", Settling::kHalfApplied},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reads);
    Simulation sim({}, Answering(c.before, c.before_paths));
    std::string paths;
    std::istringstream reads{std::string(c.reads)};
    for (std::string read; reads >> read;) {
      std::size_t end = 0;
      const milliseconds at(std::stoi(read, &end));
      sim.PlatformAt(at, Answering(c.after, paths = read.substr(end)));
    }
    sim.MessageAt(0ms);
    sim.RunUntil(10s);
    ASSERT_EQ(sim.events().size(), 1u);
    EXPECT_EQ(sim.events()[0].changes.settling, c.settling);
    EXPECT_EQ(sim.events()[0].changes.now, Snapshot(Answering(c.after, paths)));
  }
}

// Each layout found has its modes read once, right after its first read.
TEST(WatcherSettling, TheModesAreReadOnceForEachLayoutFound) {
  Simulation sim({}, Simulated(ThreeMonitors()), true);
  sim.PlatformAt(0ms, RightResized());
  sim.PlatformAt(120ms, LeftOff());
  sim.MessageAt(0ms);
  sim.RunUntil(10s);
  EXPECT_EQ(sim.modes_reads(), (std::vector<milliseconds>{100ms, 150ms}));
  ASSERT_EQ(sim.events().size(), 1u);
  EXPECT_EQ(sim.events()[0].changes.now, Snapshot(LeftOff()));
}

TEST(WatcherSettling, MessageWhileReadingStartsAgainAndForgetsEarlierReads) {
  Simulation sim;
  sim.PlatformAt(0ms, RightResized());
  sim.MessageAt(0ms);
  sim.RunUntil(120ms);  // one read, at 100
  sim.MessageAt(120ms);
  sim.RunUntil(10s);
  // The read at 220 would agree with the one at 100, but that one came
  // before the layout was known to be still.
  EXPECT_EQ(sim.reads(), (std::vector<milliseconds>{100ms, 220ms, 270ms}));
  ASSERT_EQ(sim.events().size(), 1u);
  EXPECT_EQ(sim.events()[0].at, 270ms);
}

TEST(WatcherSettling, NothingChangedGivesNoEvent) {
  Simulation sim;
  sim.MessageAt(0ms);  // a work-area broadcast that moved nothing
  sim.RunUntil(10s);
  EXPECT_EQ(sim.reads().size(), 2u);
  EXPECT_TRUE(sim.events().empty());
  EXPECT_FALSE(sim.timer());
  EXPECT_TRUE(sim.settler().Idle());
}

// Each event is told against the layout the one before led to.
TEST(WatcherSettling, EventsFollowOneAnother) {
  Simulation sim;
  sim.PlatformAt(0ms, LeftOff());
  sim.MessageAt(0ms);
  sim.RunUntil(1s);
  sim.PlatformAt(1s, ThreeMonitors());
  sim.MessageAt(1s);
  sim.RunUntil(10s);

  ASSERT_EQ(sim.events().size(), 2u);
  EXPECT_EQ(sim.events()[0].changes.removed.size(), 1u);
  ASSERT_EQ(sim.events()[1].changes.added.size(), 1u);
  EXPECT_EQ(sim.events()[1].changes.added[0].number, 2);
  EXPECT_TRUE(sim.events()[1].changes.removed.empty());
}

TEST(WatcherSettling, ReadsStopAtMaxReadsAndTakeTheLast) {
  Simulation sim({100ms, 50ms, 4});
  // A layout that never holds still: the right monitor moves on every read.
  for (int i = 0; i < 10; ++i) {
    Layout l = ThreeMonitors();
    l.monitors[2].bounds.top = 10 * (i + 1);
    sim.PlatformAt(milliseconds(100 + 50 * i), l);
  }
  sim.MessageAt(0ms);
  sim.RunUntil(10s);
  EXPECT_EQ(sim.reads().size(), 4u);
  ASSERT_EQ(sim.events().size(), 1u);
  EXPECT_EQ(sim.events()[0].changes.now[2].bounds.top, 40);
  EXPECT_EQ(sim.events()[0].changes.settling, Settling::kUnconfirmed);
  EXPECT_FALSE(sim.timer());
}

TEST(WatcherSettling, EarlyTickOnlyWaitsOnAndFailedReadIsRetried) {
  Simulation sim;
  sim.PlatformAt(0ms, RightResized());
  sim.MessageAt(0ms);
  // A tick 40 ms early reads nothing and asks for the rest of the wait.
  const DisplaySettler::Step early = sim.settler().OnTimer(Clock::time_point(60ms));
  EXPECT_EQ(early.timer, 40ms);
  EXPECT_TRUE(sim.reads().empty());

  sim.FailNextRead();
  EXPECT_THROW(sim.RunUntil(100ms), std::bad_alloc);
  EXPECT_FALSE(sim.settler().Idle());
  // Ticked again, it reads as if the failure had not been.
  const DisplaySettler::Step retry = sim.settler().OnTimer(Clock::time_point(110ms));
  EXPECT_EQ(retry.timer, 50ms);
  EXPECT_EQ(sim.reads(), (std::vector<milliseconds>{100ms}));
}

}  // namespace
}  // namespace vantrel

// The watcher's pump over the simulated event source: what it hears, when it
// reads and tells, and how it ends, on its own thread and on the caller's
// (where Tell and Advance pump, as the program's message loop would). The
// source's clock is the only time.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "simulated_events.h"
#include "simulated_system.h"
#include "test_watcher_layouts.h"
#include "vantrel/displays/watcher_over_facts.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using platform::EventKind;
using Thread = DisplayWatcher::Options::Thread;

class WatcherPump : public ::testing::TestWithParam<Thread> {
 protected:
  std::unique_ptr<DisplayWatcher> Start() {
    DisplayWatcher::Options options;  // 100 ms quiet, 50 ms between reads
    options.thread = GetParam();
    auto started = WatcherOverFacts::Start(
        facts_, events_,
        [this](const DisplayChanges& c) {
          const std::lock_guard lock(mutex_);
          told_.push_back(c);
        },
        options);
    EXPECT_TRUE(started) << started.error().message;
    return std::move(started).value();
  }
  std::vector<DisplayChanges> Told() {
    const std::lock_guard lock(mutex_);
    return told_;
  }
  void NarrowRightDisplay() {
    facts_.Change([](platform::SimulatedDisplays& l) { l.displays[2].bounds.right -= 224; });
  }

  platform::SimulatedSystem facts_{testing_layouts::Simulated(testing_layouts::ThreeMonitors())};
  platform::SimulatedEvents events_;
  std::mutex mutex_;
  std::vector<DisplayChanges> told_;
};

// Another kind only wakes it; a burst of changes is read once the source has
// been quiet for 100 ms, each tick reads once, and two reads that agree give
// one event, after which no timer is left.
TEST_P(WatcherPump, BurstGivesOneEventOnceQuiet) {
  const auto watcher = Start();
  const int first_reads = facts_.counts().monitors;
  events_.Tell(EventKind::kOther);
  EXPECT_FALSE(events_.TimerDue());

  NarrowRightDisplay();
  for (int i = 0; i < 5; ++i) {
    events_.Tell();
    events_.Advance(20ms);
  }
  events_.Advance(79ms);  // 99 ms after the last
  EXPECT_EQ(facts_.counts().monitors, first_reads);
  events_.Advance(1ms);
  EXPECT_EQ(facts_.counts().monitors, first_reads + 1);
  EXPECT_TRUE(Told().empty());
  events_.Advance(50ms);
  EXPECT_EQ(facts_.counts().monitors, first_reads + 2);

  const std::vector<DisplayChanges> told = Told();
  ASSERT_EQ(told.size(), 1u);
  ASSERT_EQ(told[0].changed.size(), 1u);
  EXPECT_EQ(told[0].changed[0].facts, ChangedFacts::kBounds);
  EXPECT_EQ(watcher->Current(), told[0].now);
  EXPECT_FALSE(events_.TimerDue());
  EXPECT_EQ(watcher->Wakeups(), 1u + 5 + 2);
  events_.Advance(1h);
  EXPECT_EQ(facts_.counts().monitors, first_reads + 2);
}

// Stopped from another thread while it settles a change: the source stops
// listening and nothing is told after, however long the clock runs.
TEST_P(WatcherPump, StopFromAnotherThreadEndsIt) {
  const auto watcher = Start();
  NarrowRightDisplay();
  events_.Tell();
  std::thread stopper([&] { watcher->Stop(); });
  // The caller's loop takes the stop when it next pumps.
  while (GetParam() == Thread::kCallerThread && events_.IsListening()) {
    events_.Pump();
    std::this_thread::yield();
  }
  stopper.join();
  EXPECT_FALSE(events_.IsListening());
  events_.Tell();
  events_.Advance(1h);
  EXPECT_TRUE(Told().empty());
  watcher->Stop();  // twice does nothing
}

INSTANTIATE_TEST_SUITE_P(Threads, WatcherPump,
                         ::testing::Values(Thread::kOwnThread, Thread::kCallerThread),
                         [](const auto& param) {
                           return param.param == Thread::kOwnThread ? "OwnThread" : "CallerThread";
                         });

// A source that cannot listen: Start answers its failure, the constructor
// of 1.x throws it.
TEST(WatcherStart, FailingSourceIsTheError) {
  platform::SimulatedSystem facts(testing_layouts::Simulated(testing_layouts::ThreeMonitors()));
  platform::SimulatedEvents events;
  events.FailListening(8, "CreateWindowExW failed (system error 8)");
  const auto nothing = [](const DisplayChanges&) {};

  const auto started = WatcherOverFacts::Start(facts, events, nothing, {});
  ASSERT_FALSE(started);
  EXPECT_EQ(started.error().code, ErrorCode::kSystem);
  EXPECT_EQ(started.error().system_error, 8u);
  EXPECT_EQ(started.error().message, "CreateWindowExW failed (system error 8)");
  try {
    WatcherOverFacts watcher(facts, events, nothing, {});
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "CreateWindowExW failed (system error 8)");
    EXPECT_EQ(e.error().system_error, 8u);
  }
}

}  // namespace
}  // namespace vantrel

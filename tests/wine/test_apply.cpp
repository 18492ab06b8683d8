// Setting a layout against Wine's user32 on three displays: the second (left
// of the primary) at a smaller mode and the third (right of it) detached, no
// gap left for Wine to close, then the layout from before put back from the
// saved file, each in force with one reset, which top-level windows see as
// one WM_DISPLAYCHANGE and one event of a watcher in the same process; and a
// layout with a gap, which Wine closes, put back (two resets).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "display_change.h"
#include "vantrel/displays/apply.h"
#include "vantrel/displays/watcher.h"

namespace vantrel {
namespace {

// The resets while `call` ran.
template <class Call>
int ResetsWhile(probe::ResetCounter& resets, Call call) {
  resets.Take();
  call();
  return resets.Take();
}

// The events a watcher on its own thread told while `call` ran and until the
// layout held still for a second and a half.
class Told {
 public:
  template <class Call>
  std::vector<DisplayChanges> While(Call call) {
    const std::size_t first = Count();
    call();
    std::size_t seen = Count();
    for (auto still = std::chrono::steady_clock::now();
         std::chrono::steady_clock::now() - still < std::chrono::milliseconds(1500);) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (Count() != seen) {
        seen = Count();
        still = std::chrono::steady_clock::now();
      }
    }
    std::lock_guard lock(mutex_);
    return {events_.begin() + static_cast<std::ptrdiff_t>(first), events_.end()};
  }

 private:
  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return events_.size();
  }
  std::mutex mutex_;
  std::vector<DisplayChanges> events_;
  DisplayWatcher watcher_{[this](const DisplayChanges& c) {
    std::lock_guard lock(mutex_);
    events_.push_back(c);
  }};
};

TEST(ApplyUnderWine, AnotherModeAndADetachedDisplayThenBack) {
  probe::ResetCounter resets;
  ASSERT_TRUE(resets.ok());

  const Layout before = TakeLayout();
  ASSERT_EQ(before.displays.size(), 3u);
  Layout gap = before;
  gap.displays[2].position.x += 100;
  EXPECT_EQ(ResetsWhile(resets,
                        [&] {
                          const ChangeOutcome done = ApplyLayout(gap);
                          EXPECT_EQ(done.end, ChangeEnd::kRolledBack) << Message(done);
                          EXPECT_FALSE(done.differences.empty());
                        }),
            2);
  EXPECT_EQ(TakeLayout(), before);

  Layout wanted = before;
  for (const DisplayMode& m : TakeOfferedModes()[1].modes) {
    if (m.width == 800 && m.height == 600 && m.bits_per_pixel == 32) wanted.displays[1].mode = m;
  }
  ASSERT_EQ(wanted.displays[1].mode.width, 800);
  // Left of the primary: its right edge stays where it touches it.
  wanted.displays[1].position.x += before.displays[1].mode.width - 800;
  wanted.displays[2].attached = false;
  const LayoutPlan plan = Plan(wanted).value();
  EXPECT_EQ(plan.changes.size(), 2u);
  Told told;
  const std::vector<DisplayChanges> applied = told.While(
      [&] { EXPECT_EQ(ResetsWhile(resets, [&] { EXPECT_TRUE(ApplyLayout(wanted)); }), 1); });
  ASSERT_EQ(applied.size(), 1u) << "one settled event for the apply";
  EXPECT_EQ(applied[0].removed.size(), 1u);
  EXPECT_EQ(applied[0].now.size(), 2u);
  const Layout after = TakeLayout();
  EXPECT_EQ(after.displays[0], before.displays[0]);
  EXPECT_EQ(after.displays[1].position, wanted.displays[1].position);
  EXPECT_EQ(after.displays[1].mode.width, 800);
  EXPECT_EQ(after.displays[1].mode.height, 600);
  EXPECT_FALSE(after.displays[2].attached);
  EXPECT_EQ(LoadLayoutBefore().value(), before);

  // Back from the file: the detached display with the mode the layout keeps
  // for it, as Wine kept none.
  const std::vector<DisplayChanges> reverted =
      told.While([&] { EXPECT_EQ(ResetsWhile(resets, [] { EXPECT_TRUE(Revert().value()); }), 1); });
  EXPECT_EQ(TakeLayout(), before);
  ASSERT_EQ(reverted.size(), 1u) << "one settled event for the revert";
  EXPECT_EQ(reverted[0].added.size(), 1u);
  EXPECT_EQ(reverted[0].now.size(), 3u);
}

}  // namespace
}  // namespace vantrel

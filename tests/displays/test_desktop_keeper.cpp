// The keeper over the simulated system, whose display on the right leaves
// and comes back, throwing its windows onto the primary as Windows does:
// every window back where it was, each set with its own places, never a
// place taken while the displays moved, and never a window that is no longer
// the one remembered.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "simulated_store.h"
#include "simulated_system.h"
#include "vantrel/displays/desktop.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using platform::SimulatedDisplays;
using platform::SimulatedSystem;
using platform::SimulatedWindow;
namespace show = platform::show_command;
using Clock = DesktopKeeper::Clock;

constexpr std::uintptr_t kNormal = 0x10, kMaximized = 0x20, kMinimized = 0x30, kStays = 0x40;
constexpr Rect kRight{1920, 0, 3200, 1024};

SimulatedWindow Window(std::uint32_t show_command, Rect normal, Rect rect) {
  SimulatedWindow w;
  w.show = show_command;
  w.normal = normal;
  w.rect = rect;
  w.process_id = 100;
  w.thread_id = 101;
  w.class_name = "Editor";
  w.image = "editor.exe";
  return w;
}

SimulatedDisplays Docked() {
  SimulatedDisplays l = SimulatedDisplays::FromRects({{0, 0, 1920, 1080}, kRight});
  l.windows[kNormal] = Window(show::kNormal, {2000, 100, 2600, 500}, {2000, 100, 2600, 500});
  l.windows[kMaximized] = Window(show::kMaximized, {2100, 200, 2700, 600}, kRight);
  l.windows[kMinimized] =
      Window(show::kMinimized, {2200, 300, 2800, 700}, {-32000, -32000, -31840, -31972});
  l.windows[kStays] = Window(show::kNormal, {100, 100, 700, 500}, {100, 100, 700, 500});
  l.z_order = {kStays, kNormal, kMaximized, kMinimized};
  l.foreground = kStays;
  return l;
}

// The keeper run as its event loop would: the timer it asks for, and the
// display messages a test sends.
struct Desk {
  SimulatedSystem system;
  platform::SimulatedStore store;
  DesktopKeeper keeper;
  Clock::time_point now = Clock::time_point{} + 1h;
  std::optional<Clock::time_point> due;
  std::vector<RestoreReport> restored;
  int saves = 0;

  explicit Desk(SimulatedDisplays layout, DesktopKeeper::Options options = {},
                DesktopMemory memory = {})
      : system(std::move(layout)), keeper(system, store, std::move(memory), std::move(options)) {
    Take(keeper.Start(now));
  }
  void Take(const DesktopKeeper::Step& step) {
    due = step.timer ? std::optional(now + *step.timer) : std::nullopt;
    if (step.restored) restored.push_back(*step.restored);
    saves += step.changed;
  }
  void Run(std::chrono::milliseconds span) {
    const Clock::time_point end = now + span;
    // A keeper that asks for its timer again at once, for ever, fails here.
    for (int ticks = 0; due && *due <= end; ++ticks) {
      if (ticks == 10000) {
        ADD_FAILURE() << "the keeper's timer never lets time pass";
        break;
      }
      now = *due;
      Take(keeper.OnTimer(now));
    }
    now = end;
  }
  // The displays change; the system's message comes `late` after.
  void Displays(const std::function<void(SimulatedDisplays&)>& change,
                std::chrono::milliseconds late = 0ms) {
    system.Change(change);
    Run(late);
    Take(keeper.OnDisplaysMayHaveChanged(now));
    Run(2s);
  }
  SimulatedWindow At(std::uintptr_t h) { return system.layout().windows.at(h); }
};

void Leave(SimulatedDisplays& l) { l.displays[1].attached = false; }
void Return(SimulatedDisplays& l) { l.displays[1].attached = true; }
void ReturnAtAnotherMode(SimulatedDisplays& l) {
  Return(l);
  l.displays[1].current_mode->width = 800;
  l.displays[1].current_mode->height = 600;
  l.displays[1].bounds = l.displays[1].work_area = {1920, 0, 2720, 600};
}

TEST(DesktopKeeper, EveryWindowBackWhenTheSetReturnsEachSetWithItsOwnPlaces) {
  Desk desk(Docked());
  desk.Run(3s);
  const std::vector<std::uintptr_t> order = {kStays, kNormal, kMaximized, kMinimized};
  // The system throws the windows onto the primary before its message: the
  // places seen then are not the docked set's.
  desk.Displays(Leave, 1500ms);
  EXPECT_TRUE(desk.restored.empty());  // a set never seen: nothing to put back
  EXPECT_LT(desk.At(kNormal).rect.right, 1920);
  desk.Run(3s);
  // Alone, the user moves a window: the set alone keeps that place.
  ASSERT_TRUE(desk.system.MoveTo(kNormal, {300, 300, 900, 700}));
  desk.Run(3s);
  const int shows_of_minimized = desk.system.counts().shows;

  desk.Displays(Return);
  ASSERT_EQ(desk.restored.size(), 1u);
  EXPECT_EQ(desk.restored[0].windows, 3);
  EXPECT_EQ(desk.restored[0].untouched, 1);
  EXPECT_EQ(desk.restored[0].skipped, 0);
  EXPECT_EQ(desk.At(kNormal).rect, (Rect{2000, 100, 2600, 500}));
  EXPECT_EQ(desk.At(kMaximized).show, show::kMaximized);
  EXPECT_EQ(desk.At(kMaximized).rect, kRight);
  EXPECT_EQ(desk.At(kMaximized).normal, (Rect{2100, 200, 2700, 600}));
  EXPECT_TRUE(platform::IsMinimized(desk.At(kMinimized).show));
  EXPECT_EQ(desk.At(kMinimized).normal, (Rect{2200, 300, 2800, 700}));
  EXPECT_EQ(desk.system.counts().shows, shows_of_minimized);  // none shown by Show
  EXPECT_EQ(desk.system.Foreground(), kStays);
  std::vector<std::uintptr_t> now;
  for (const auto& w : desk.system.TopWindows()) now.push_back(w.handle);
  EXPECT_EQ(now, order);

  desk.Displays(Leave);
  ASSERT_EQ(desk.restored.size(), 2u);
  EXPECT_EQ(desk.At(kNormal).rect, (Rect{300, 300, 900, 700}));  // the set alone's place
}

TEST(DesktopKeeper, WhereAnotherProgramCannotBePlacedItIsMovedAndAMinimizedOneLeft) {
  SimulatedDisplays layout = Docked();
  for (auto& [handle, w] : layout.windows) w.placement_fails = w.late_unmaximize = true;
  Desk desk(layout);
  desk.system.on_leave = SimulatedSystem::OnLeave::kWine;
  desk.Run(3s);
  desk.Displays(Leave);
  desk.Run(3s);
  desk.Displays(Return);
  ASSERT_EQ(desk.restored.size(), 1u);
  EXPECT_EQ(desk.At(kNormal).rect, (Rect{2000, 100, 2600, 500}));
  // Maximized again once the system had un-maximized it after the move,
  // with its normal place back.
  EXPECT_EQ(desk.At(kMaximized).show, show::kMaximized);
  EXPECT_EQ(desk.At(kMaximized).rect, kRight);
  EXPECT_EQ(desk.At(kMaximized).normal, (Rect{2100, 200, 2700, 600}));
  EXPECT_TRUE(platform::IsMinimized(desk.At(kMinimized).show));
  EXPECT_EQ(desk.system.Foreground(), kStays);  // maximizing took it; it was given back
  // Un-maximized by the user later, it is left so.
  ASSERT_TRUE(desk.system.Show(kMaximized, show::kNormal));
  desk.Run(3s);
  EXPECT_EQ(desk.At(kMaximized).show, show::kNormal);
}

TEST(DesktopKeeper, NeverMovesAHandleThatIsAnotherWindowNowAndForgetsClosedOnes) {
  Desk desk(Docked());
  desk.Run(3s);
  desk.Displays(Leave);
  desk.system.Change([](SimulatedDisplays& l) {
    l.windows[kNormal].process_id = 555;  // closed, its handle given to another program
    l.windows.erase(kStays);
  });
  const Rect taken = desk.At(kNormal).rect;
  desk.Run(3s);
  desk.Displays(Return);
  EXPECT_EQ(desk.At(kNormal).rect, taken);
  for (const DisplaySetMemory& set : desk.keeper.Memory().sets) {
    for (const KeptWindow& w : set.windows) {
      EXPECT_NE(w.handle, kStays);
      EXPECT_FALSE(w.handle == kNormal && w.process_id == 100);
    }
  }
}

// At the end of the session windows close for the log-off, not the user:
// none is forgotten while paused, and one closed is once started again.
TEST(DesktopKeeper, WindowsThatCloseWhilePausedAreForgottenOnlyOnceStartedAgain) {
  Desk desk(Docked());
  desk.Run(3s);
  const auto kept = [&desk] {
    const DisplaySetMemory* set = desk.keeper.Memory().Find(desk.keeper.CurrentSet());
    return set ? set->windows.size() : 0u;
  };
  const std::size_t before = kept();
  ASSERT_GT(before, 0u);
  desk.keeper.Pause();
  desk.system.Change([](SimulatedDisplays& l) { l.windows.erase(kStays); });
  desk.Take(desk.keeper.OnWindowsMayHaveChanged(desk.now));
  desk.Run(5s);
  EXPECT_EQ(kept(), before);
  desk.Take(desk.keeper.Start(desk.now));
  EXPECT_EQ(kept(), before - 1);
}

TEST(DesktopKeeper, WhereTheSystemTellsOfWindowsNoTimerRunsWhileNothingMoves) {
  Desk desk(Docked());
  desk.Run(3s);
  ASSERT_TRUE(desk.system.MoveTo(kNormal, {2100, 150, 2700, 550}));
  desk.Take(desk.keeper.OnWindowsMayHaveChanged(desk.now));
  ASSERT_TRUE(desk.due);
  EXPECT_EQ(*desk.due - desk.now, 250ms);
  desk.Run(3s);
  EXPECT_FALSE(desk.due);  // kept, and nothing more to read
  const int reads = desk.system.counts().top_windows;
  desk.Run(60s);
  EXPECT_EQ(desk.system.counts().top_windows, reads);
  const DisplaySetMemory* set = desk.keeper.Memory().Find(desk.keeper.CurrentSet());
  ASSERT_NE(set, nullptr);
  const auto kept = std::ranges::find(set->windows, kNormal, &KeptWindow::handle);
  ASSERT_NE(kept, set->windows.end());
  EXPECT_EQ(kept->place.bounds, (Rect{2100, 150, 2700, 550}));
}

TEST(DesktopKeeper, TheLayoutPutBackOnceWhenTheSetReturnsArrangedOtherwise) {
  DesktopKeeper::Options options;
  options.layouts = true;
  Desk desk(Docked(), options);
  desk.Run(3s);
  const Layout docked = TakeLayout(desk.system);
  desk.Displays(Leave);
  desk.Run(3s);
  // It comes back at another mode, as a dock's displays often do.
  desk.Displays(ReturnAtAnotherMode);
  ASSERT_EQ(desk.restored.size(), 1u);
  ASSERT_TRUE(desk.restored[0].layout);
  EXPECT_EQ(desk.restored[0].layout->end, ChangeEnd::kApplied);
  EXPECT_EQ(TakeLayout(desk.system), docked);
  EXPECT_EQ(desk.At(kNormal).rect, (Rect{2000, 100, 2600, 500}));
  // Its own change settles without a second apply or a second restore.
  const int resets = desk.system.counts().resets;
  desk.Take(desk.keeper.OnDisplaysMayHaveChanged(desk.now));
  desk.Run(3s);
  EXPECT_EQ(desk.system.counts().resets, resets);
  EXPECT_EQ(desk.restored.size(), 1u);
  // Once for each return: gone and back at another mode again, put back again.
  desk.Displays(Leave);
  desk.Run(3s);
  desk.Displays(ReturnAtAnotherMode);
  ASSERT_EQ(desk.restored.size(), 3u);
  EXPECT_FALSE(desk.restored[1].layout);  // the set alone came as it was
  ASSERT_TRUE(desk.restored[2].layout);
  EXPECT_EQ(TakeLayout(desk.system), docked);
}

TEST(DesktopKeeper, ANewSetDropsTheLeastRecentlyUsedBeyondTheBound) {
  DesktopMemory full;
  for (std::uint64_t k = 1; k <= kMaxSets; ++k) {
    const std::vector<std::string> keys{"other" + std::to_string(k)};
    full.sets.push_back({SetId(keys), keys, {}, std::nullopt, k});
  }
  full.clock = kMaxSets;
  Desk desk(Docked(), {}, full);
  const DesktopMemory& memory = desk.keeper.Memory();
  EXPECT_EQ(memory.sets.size(), kMaxSets);
  EXPECT_NE(memory.Find(desk.keeper.CurrentSet()), nullptr);
  EXPECT_EQ(memory.Find(full.sets[0].id), nullptr);
  EXPECT_NE(memory.Find(full.sets[1].id), nullptr);
}

TEST(DesktopKeeper, SavedMemoryServesAKeeperStartedAgainAndForgetDropsIt) {
  std::string saved;
  {
    Desk desk(Docked());
    desk.Run(3s);
    saved = ToJson(desk.keeper.Memory());
    EXPECT_GT(desk.saves, 0);
  }
  Desk desk(Docked(), {}, DesktopMemoryFromJson(saved).value());
  desk.Displays(Leave);
  desk.Run(3s);
  desk.Displays(Return);
  ASSERT_EQ(desk.restored.size(), 1u);
  EXPECT_EQ(desk.At(kNormal).rect, (Rect{2000, 100, 2600, 500}));
  // Asked again with every window in its place: nothing is touched.
  const auto counts = desk.system.counts();
  const RestoreReport again = desk.keeper.Restore();
  EXPECT_EQ(again.windows, 0);
  EXPECT_EQ(again.untouched, 4);
  EXPECT_EQ(desk.system.counts().set_placements, counts.set_placements);
  EXPECT_EQ(desk.system.counts().moves, counts.moves);
  EXPECT_EQ(desk.system.counts().shows, counts.shows);

  const std::string docked = desk.keeper.CurrentSet();
  const int saves = desk.saves;
  desk.keeper.Forget(false);
  EXPECT_EQ(desk.keeper.Memory().Find(docked), nullptr);
  EXPECT_EQ(desk.keeper.Memory().sets.size(), 1u);
  desk.Run(2s);
  EXPECT_GT(desk.saves, saves);  // the memory changed: to be saved
  desk.keeper.Forget(true);
  EXPECT_TRUE(desk.keeper.Memory().sets.empty());
}

}  // namespace
}  // namespace vantrel

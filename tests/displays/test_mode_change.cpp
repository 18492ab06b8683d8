// ModeChange over the simulated system: the mode set for the session and the
// settings found put back explicitly, once, however the change ends (the
// guard at exit included); a mode not offered, and a restore that fails.
#include <gtest/gtest.h>

#include <optional>

#include "simulated_store.h"
#include "simulated_system.h"
#include "vantrel/displays/mode_change.h"
#include "vantrel/displays/mode_change_guard.h"

namespace vantrel {
namespace {

using platform::ModeFacts;
using platform::SettingsFacts;
using platform::SimulatedDisplays;
using platform::SimulatedSystem;

// Right of the primary, a 1280 x 1024 display offering 800 x 600 too, whose
// kept settings are not those in use (another program's mode for a while).
SimulatedDisplays TwoDisplays() {
  auto layout = SimulatedDisplays::FromRects({{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}});
  layout.displays[1].registry = SettingsFacts{{1920, 0}, {1024, 768, 32, 60, 0}};
  return layout;
}
const SettingsFacts kFound{{1920, 0}, {1280, 1024, 32, 60, 0}};

// Each row ends its change its way, then the object ends.
TEST(ModeChange, PutsTheSettingsFoundBackOnceHoweverItEnds) {
  using Change = std::optional<ModeChange>;
  const struct {
    const char* what;
    void (*end)(Change&);
    bool set;   // the mode still in use after `end`
    bool back;  // the settings found in use and kept again once the object ended
  } rows[] = {
      {"restored twice", [](Change& c) { c->Restore().value(), c->Restore().value(); }, 0, 1},
      {"moved into an empty one, the one moved from ended",
       [](Change& c) {
         ModeChange taken;
         taken = std::move(*c);
         c.reset();
         c.emplace(std::move(taken));
       },
       1, 1},
      {"released", [](Change& c) { c->release(); }, 1, 0},
      {"at exit", [](Change&) { EXPECT_EQ(mode_changes::RestoreAll(), 1u); }, 0, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SimulatedSystem system(TwoDisplays());
    platform::SimulatedStore store;
    const platform::SimulatedDisplay& d = system.layout().displays[1];
    Change change =
        ModeChange::Set(system, store, Displays::Take(system)[1], {800, 600, 16, 0}).value();
    // A 0 takes the display's; for the session only, its kept settings left.
    EXPECT_EQ(d.current_mode, (ModeFacts{800, 600, 16, 60, 0}));
    EXPECT_EQ(d.bounds, (Rect{1920, 0, 2720, 600}));
    EXPECT_EQ(d.registry, TwoDisplays().displays[1].registry);
    row.end(change);
    EXPECT_EQ(d.current_mode->width == 800, row.set);
    EXPECT_EQ(change->saved_mode(), (DisplayMode{1280, 1024, 32, 60}));
    EXPECT_EQ(change->saved_position(), (Point{1920, 0}));
    change.reset();
    const SettingsFacts now{{d.bounds.left, d.bounds.top}, *d.current_mode};
    EXPECT_EQ(now, row.back ? kFound : (SettingsFacts{{1920, 0}, {800, 600, 16, 60, 0}}));
    EXPECT_EQ(d.registry, row.back ? kFound : TwoDisplays().displays[1].registry);
    EXPECT_EQ(system.counts().change_settings, row.back ? 3 : 2);  // tested, set, restored
    EXPECT_EQ(mode_changes::Listed(), 0u);
  }
}

TEST(ModeChange, NamesAModeNotOfferedAndKeepsARestoreThatFailed) {
  SimulatedSystem system(TwoDisplays());
  platform::SimulatedStore store;
  const Displays displays = Displays::Take(system);
  const Result<ModeChange> refused = ModeChange::Set(system, store, displays[1], {801, 600, 0, 0});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().code, ErrorCode::kRefused);
  EXPECT_EQ(refused.error().change_result, platform::change_result::kBadMode);
  EXPECT_EQ(refused.error().message,
            "\\\\.\\DISPLAY2 does not offer the mode 801 x 600, 32 bits, 60 Hz");
  EXPECT_EQ(system.counts().resets, 0);
  EXPECT_EQ(mode_changes::Listed(), 0u);

  // Two changes of one display: the guard puts the newest back first. The
  // display gone meanwhile, the restore fails and the change stays guarded.
  ModeChange first = ModeChange::Set(system, store, displays[1], {800, 600, 0, 0}).value();
  ModeChange second = ModeChange::Set(system, store, displays[1], {800, 600, 8, 0}).value();
  const platform::SimulatedDisplay kept = system.layout().displays[1];
  system.layout().displays.pop_back();
  const Result<void> failed = first.Restore();
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().message,
            "restoring \\\\.\\DISPLAY2 to 1280 x 1024, 32 bits, 60 Hz at 1920,0 failed "
            "(DISP_CHANGE_BADPARAM)");
  EXPECT_TRUE(first.active());
  // Gone before a change: no settings in use to put back, nothing tried.
  const int tried = system.counts().change_settings;
  const Result<ModeChange> unlisted = ModeChange::Set(system, store, displays[1], {800, 600, 0, 0});
  ASSERT_FALSE(unlisted);
  EXPECT_EQ(unlisted.error().code, ErrorCode::kSystem);
  EXPECT_EQ(unlisted.error().message, "the adapter \\\\.\\DISPLAY2 lists no settings in use");
  EXPECT_EQ(system.counts().change_settings, tried);
  system.layout().displays.push_back(kept);
  EXPECT_EQ(mode_changes::RestoreAll(), 2u);
  EXPECT_EQ(system.layout().displays[1].current_mode, kFound.mode);
  // Each set and each restore asked for, not those at exit, took the lock of
  // every change of the displays: four sets (the refused and the unlisted
  // one too) and the failed restore.
  EXPECT_EQ(store.locks_taken(), 5);
}

}  // namespace
}  // namespace vantrel

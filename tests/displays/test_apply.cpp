// Setting a layout: the plan's rules in one table, told as Describe tells
// them; the owner over the simulated system and store (one reset, the layout
// from before saved first and put back when the system gives something
// else, one change at a time); the saved file.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "simulated_store.h"
#include "simulated_system.h"
#include "vantrel/displays/apply.h"
#include "vantrel/displays/plan.h"

namespace vantrel {
namespace {

using platform::SimulatedDisplays;
using platform::SimulatedSystem;

LayoutDisplay At(const char* key, const char* adapter, Point p, DisplayMode m, bool attached = true,
                 bool primary = false, std::int32_t orientation = 0) {
  return {key, adapter, attached, primary, p, m, orientation};
}

constexpr char k1[] = "\\\\.\\DISPLAY1", k2[] = "\\\\.\\DISPLAY2", k3[] = "\\\\.\\DISPLAY3";

TEST(Apply, PlanRules) {
  const LayoutDisplay a = At("A", k1, {0, 0}, {1920, 1080, 32, 60}, true, true);
  const LayoutDisplay b = At("B", k2, {1920, 0}, {1280, 1024, 32, 60});
  const Layout now{{a, b, At("C", k3, {0, 0}, {}, false)}};
  const std::vector<OfferedModes> offered{{k1, {{1920, 1080, 32, 60}, {1280, 720, 32, 60}}},
                                          {k2, {{1280, 1024, 32, 60}, {1024, 768, 32, 60}}},
                                          {k3, {{1024, 768, 32, 60}}}};
  const std::string kSmaller =
      "\\\\.\\DISPLAY2 (B): mode 1280x1024 32 bits 60 Hz -> 1024x768 32 bits 60 Hz";
  const std::string kTurned =
      "\\\\.\\DISPLAY1 (A): mode 1920x1080 32 bits 60 Hz -> 1080x1920 32 bits 60 Hz; "
      "orientation 0 -> 90";
  constexpr std::int32_t kLeast = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
  using R = RefusalReason;
  const struct {
    const char* rule;
    std::vector<LayoutDisplay> wanted;
    std::vector<std::string> lines;  // Describe's; where refused, the reason and display
    std::optional<R> refused = std::nullopt;
    const char* named = "";  // the adapter the refusal names
  } kCases[] = {
      {"nothing to do", now.displays, {}},
      {"by key", {At("B", "\\\\.\\DISPLAY9", {1920, 0}, {1024, 768, 32, 60})}, {kSmaller}},
      {"else by adapter, zero fields kept",
       {At("gone", "\\\\.\\display2", {1920, 0}, {1024, 768, 0, 0})},
       {kSmaller}},
      {"not connected",
       {At("Z", "\\\\.\\DISPLAY7", {}, {})},
       {},
       R::kNotConnected,
       "\\\\.\\DISPLAY7"},
      {"named twice", {b, b}, {}, R::kNamedTwice, k2},
      {"no mode", {At("B", k2, {1920, 0}, {1234, 567, 32, 60})}, {}, R::kModeNotOffered, k2},
      {"no right angle", {At("B", k2, {1920, 0}, {}, true, false, 45)}, {}, R::kNoRightAngle, k2},
      {"no attached display",
       {At("A", k1, {}, {}, false), At("B", k2, {}, {}, false)},
       {},
       R::kNothingAttached},
      {"the primary detached", {At("A", k1, {}, {}, false)}, {}, R::kNoPrimary, k1},
      {"a detached primary", {At("B", k2, {}, {}, false, true)}, {}, R::kDetachedPrimary, k2},
      {"two primaries", {a, At("B", k2, {1920, 0}, {}, true, true)}, {}, R::kSecondPrimary, k2},
      {"the primary at 0,0, all moved",
       {At("B", k2, {1920, 0}, {}, true, true)},
       {"\\\\.\\DISPLAY2 (B): position 1920,0 -> 0,0; becomes the primary",
        "\\\\.\\DISPLAY1 (A): position 0,0 -> -1920,0; no longer the primary"}},
      {"past the left edge of the numbers, once the primary is at 0,0",
       {At("A", k1, {kLeast, 0}, {}), At("B", k2, {100, 0}, {}, true, true)},
       {},
       R::kOutOfRange,
       k1},
      {"past the right edge", {At("B", k2, {kMost - 100, 0}, {})}, {}, R::kOutOfRange, k2},
      {"detached", {At("B", k2, {}, {}, false)}, {"\\\\.\\DISPLAY2 (B): detached"}},
      {"attached with a mode",
       {At("C", "", {3200, 0}, {1024, 768, 0, 0})},
       {"\\\\.\\DISPLAY3 (C): attached at 3200,0, 1024x768"}},
      {"attached with none kept", {At("C", "", {3200, 0}, {})}, {}, R::kModeNotOffered, k3},
      {"turned, given unturned", {At("A", k1, {}, {}, true, true, 90)}, {kTurned}},
      {"turned, given turned", {At("A", k1, {}, {1080, 1920, 32, 60}, true, true, 90)}, {kTurned}},
  };
  for (const auto& c : kCases) {
    const Result<LayoutPlan, Refusal> plan = Plan(now, Layout{c.wanted}, offered);
    ASSERT_EQ(!plan, c.refused.has_value()) << c.rule;
    if (!plan) {
      EXPECT_EQ(plan.error().reason, *c.refused) << c.rule;
      EXPECT_EQ(plan.error().adapter, c.named) << c.rule;
      EXPECT_TRUE(plan.error().message.starts_with(c.named)) << c.rule;
      continue;
    }
    EXPECT_EQ(Describe(*plan), c.lines) << c.rule;
    EXPECT_EQ(plan->empty(), c.lines.empty()) << c.rule;
    EXPECT_TRUE(Plan(plan->after, plan->after, offered)->empty()) << c.rule;
  }
  // What is written: the whole mode with the position, DEVMODE's turn, the
  // new primary flagged.
  const LayoutPlan moved =
      Plan(now, Layout{{At("B", k2, {1920, 0}, {}, true, true)}}, offered).value();
  EXPECT_TRUE(moved.changes[0].set_primary);
  EXPECT_EQ(SettingsFor(moved.changes[1].after, moved.changes[1].before),
            (platform::SettingsChange{true, Point{-1920, 0}, {1920, 1080, 32, 60, std::nullopt}}));
  const LayoutChange turned =
      Plan(now, Layout{{At("A", k1, {}, {}, true, true, 270)}}, offered)->changes[0];
  EXPECT_EQ(SettingsFor(turned.after, turned.before).mode,
            (platform::ModeFacts{1080, 1920, 32, 60, 3u}));
}

// The simulated system and store under one owner.
struct Twin {
  SimulatedSystem system;
  platform::SimulatedStore store;
  LayoutChanger changer{system, store};
  explicit Twin(SimulatedDisplays layout) : system(std::move(layout)) {}
};

SimulatedDisplays Three() {
  auto l = SimulatedDisplays::FromRects(
      {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}, {3200, 0, 4224, 768}});
  for (std::size_t k = 0; k < 3; ++k) {
    l.displays[k].target->device_path = l.displays[k].device->device_id =
        "K" + std::to_string(k + 1);
  }
  l.displays[0].rotates = true;
  return l;
}

TEST(Apply, AllAtOnceSavedFirstAndRevertedFromTheFile) {
  Twin twin(Three());
  const Layout before = twin.changer.Now();
  Layout wanted = before;
  wanted.displays[0].orientation = 90;
  wanted.displays[0].primary = false;
  wanted.displays[1].primary = true;
  wanted.displays[1].mode = {800, 600, 32, 60};
  wanted.displays[2].attached = false;
  const LayoutPlan plan = twin.changer.Plan(wanted).value();
  bool saved_first = false;
  twin.system.after_reset = [&](SimulatedDisplays&) {
    saved_first = twin.changer.Saved().value() == before;
  };
  const ChangeOutcome done = twin.changer.Apply(wanted);
  ASSERT_TRUE(done) << Message(done);
  EXPECT_EQ(done.plan, plan);
  EXPECT_TRUE(saved_first);
  const Layout after = twin.changer.Now();  // a detached display keeps no mode here, as under Wine
  EXPECT_EQ(after.displays[0], plan.after.displays[0]);
  EXPECT_EQ(after.displays[0], At("K1", k1, {-1920, 0}, {1080, 1920, 32, 60}, true, false, 90));
  EXPECT_EQ(after.displays[1], plan.after.displays[1]);
  EXPECT_FALSE(after.displays[2].attached);
  EXPECT_EQ(twin.system.counts().resets, 1);
  // Modes are listed only for the two displays a plan turns or gives another
  // mode: by Plan, and by Apply once the system's test refused the mode as
  // written unturned.
  EXPECT_EQ(twin.system.counts().modes, 4);

  const Result<ChangeOutcome> reverted = twin.changer.Revert();
  ASSERT_TRUE(reverted && *reverted);
  EXPECT_EQ(twin.changer.Now(), before);
  EXPECT_EQ(twin.system.counts().modes, 4);  // the test took every mode: none listed
  EXPECT_EQ(twin.system.counts().resets, 2);
  EXPECT_TRUE(twin.changer.Apply(before));  // nothing to do: no reset
  EXPECT_EQ(twin.system.counts().resets, 2);
}

TEST(Apply, WhatTheSystemGivesOtherwiseIsPutBack) {
  const FieldDifference kShrunk{k2, "K2", "mode", "1280x1024 32 bits 60 Hz",
                                "800x600 32 bits 60 Hz"};
  const struct {
    const char* what;
    bool rotates;      // the first display's driver turns it
    int shrink_times;  // resets after which the second display shrinks
    int resets;
    ChangeEnd end;
    std::vector<FieldDifference> differences, not_back;
  } kCases[] = {
      {"refused by the test", false, 0, 0, ChangeEnd::kRefused, {}, {}},
      {"something else, put back", true, 1, 2, ChangeEnd::kRolledBack, {kShrunk}, {}},
      {"not even that", true, 2, 2, ChangeEnd::kNotBack, {kShrunk}, {kShrunk}},
  };
  for (const auto& c : kCases) {
    auto layout = Three();
    layout.displays[0].rotates = c.rotates;
    layout.displays[2].attached = false;  // detached again on the way back
    layout.displays[2].registry = platform::SettingsFacts{{3200, 0}, {1024, 768, 32, 60, 0}};
    Twin twin(layout);
    const Layout before = twin.changer.Now();
    Layout wanted = before;
    wanted.displays[0].orientation = 90;
    wanted.displays[1].position = {1080, 0};
    wanted.displays[2].attached = true;
    wanted.displays[2].position = {2360, 0};
    int shrinks = c.shrink_times;
    twin.system.after_reset = [&](SimulatedDisplays& l) {
      if (shrinks-- <= 0) return;
      Rect& r = l.displays[1].bounds;
      r = {r.left, r.top, r.left + 800, r.top + 600};
      l.displays[1].current_mode = platform::ModeFacts{800, 600, 32, 60, 0};
    };
    const ChangeOutcome done = twin.changer.Apply(wanted);
    EXPECT_EQ(done.end, c.end) << c.what;
    EXPECT_EQ(done.differences, c.differences) << c.what;
    EXPECT_EQ(done.not_back, c.not_back) << c.what;
    EXPECT_EQ(twin.system.counts().resets, c.resets) << c.what;
    EXPECT_EQ(twin.changer.Plan(before)->empty(), c.end != ChangeEnd::kNotBack) << c.what;
    if (c.end == ChangeEnd::kRefused) {
      EXPECT_EQ(done.refusal->reason, RefusalReason::kSystemTest);
      EXPECT_EQ(done.refusal->adapter, k1);
      EXPECT_EQ(done.refusal->change_result, platform::change_result::kBadMode);
      EXPECT_TRUE(twin.store.files.empty()) << "a refusal saves nothing";
    }
  }
}

TEST(Apply, TheSavedLayoutsFaults) {
  Twin twin(Three());
  Layout wanted = twin.changer.Now();
  wanted.displays[1].mode = {800, 600, 32, 60};
  EXPECT_EQ(twin.changer.Revert().error().message,
            "no layout from before is saved at state/layout-before.json");
  twin.store.files["layout-before.json"] = "{\n  \"schema\": 1\n}\n";
  EXPECT_EQ(twin.changer.Revert().error().message,
            "state/layout-before.json: line 2: schema: expected a text");
  twin.store.unwritable.insert("layout-before.json");
  const ChangeOutcome unsaved = twin.changer.Apply(wanted);
  EXPECT_EQ(unsaved.end, ChangeEnd::kNotSaved);
  EXPECT_EQ(unsaved.error->system_error, 5u);
  EXPECT_EQ(twin.system.counts().resets, 0);  // tested, nothing written
  EXPECT_EQ(twin.system.counts().change_settings, 1);
}

// A running process's read of a display's mode in use can stay at what it
// first read after another process changed the mode, while the monitor's
// rectangle and the kept settings are fresh: a layout that asks for the mode
// the stale read names is still carried out, and read back as it is.
TEST(Apply, AStaleModeReadIsNotTakenForTheModeInUse) {
  Twin twin(Three());
  const Layout saved = twin.changer.Now();
  twin.system.Change([](SimulatedDisplays& l) {  // another process: 800 x 600
    l.displays[2].bounds = {3200, 0, 4000, 600};
    l.displays[2].registry = platform::SettingsFacts{{3200, 0}, {800, 600, 32, 60, 0}};
  });
  EXPECT_EQ(twin.changer.Now().displays[2].mode, (DisplayMode{800, 600, 32, 60}));
  const ChangeOutcome done = twin.changer.Apply(saved);
  ASSERT_TRUE(done) << Message(done);
  EXPECT_EQ(twin.system.counts().resets, 1);
  EXPECT_EQ(twin.changer.Now(), saved);
}

// Two threads changing the layout at once, each another display: each change
// is read, planned, tested, written, put in force and read back before the
// other's begins, so neither takes the other's change for the system giving
// something else.
TEST(Apply, TwoThreadsNeverInterleave) {
  Twin twin(Three());
  const Layout start = twin.changer.Now();
  Layout smaller[2] = {start, start};
  smaller[0].displays[1].mode = {800, 600, 32, 60};
  smaller[1].displays[2].mode = {800, 600, 32, 60};
  constexpr int kTimes = 200;
  std::vector<ChangeEnd> ends[2];
  const auto run = [&](std::size_t k) {
    LayoutChanger own(twin.system, twin.store);  // another owner: the C interface's, say
    Layout wanted{{smaller[k].displays[k + 1]}};
    for (int n = 0; n < kTimes; ++n) {
      wanted.displays[0].mode = (n % 2 ? start : smaller[k]).displays[k + 1].mode;
      ends[k].push_back(own.Apply(wanted).end);
    }
  };
  std::thread first(run, 0u), second(run, 1u);
  first.join();
  second.join();
  for (const auto& e : ends) EXPECT_EQ(e, std::vector<ChangeEnd>(kTimes, ChangeEnd::kApplied));
  EXPECT_EQ(twin.store.most_held(), 1);
  EXPECT_EQ(twin.system.counts().resets, 2 * kTimes);
}

}  // namespace
}  // namespace vantrel

// Setting a layout: the plan's rules in one table, told as Describe tells
// them; applying over the simulated system (one reset, the layout from
// before saved first and put back when the system gives something else);
// the saved file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "simulated_system.h"
#include "vantrel/displays/apply.h"

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
  const struct {
    const char* rule;
    std::vector<LayoutDisplay> wanted;
    std::vector<std::string> lines;  // Describe's, else the error's message
  } kCases[] = {
      {"nothing to do", now.displays, {}},
      {"by key", {At("B", "\\\\.\\DISPLAY9", {1920, 0}, {1024, 768, 32, 60})}, {kSmaller}},
      {"else by adapter, zero fields kept",
       {At("gone", "\\\\.\\display2", {1920, 0}, {1024, 768, 0, 0})},
       {kSmaller}},
      {"not connected",
       {At("Z", "\\\\.\\DISPLAY7", {}, {})},
       {"\\\\.\\DISPLAY7 (Z): is not connected"}},
      {"named twice", {b, b}, {"\\\\.\\DISPLAY2 (B): is named twice"}},
      {"no mode",
       {At("B", k2, {1920, 0}, {1234, 567, 32, 60})},
       {"\\\\.\\DISPLAY2 (B): 1234x567 32 bits 60 Hz is no mode it offers"}},
      {"no attached display",
       {At("A", k1, {}, {}, false), At("B", k2, {}, {}, false)},
       {"no display would be attached: \\\\.\\DISPLAY1 (A), \\\\.\\DISPLAY2 (B), \\\\.\\DISPLAY3 "
        "(C)"}},
      {"the primary detached",
       {At("A", k1, {}, {}, false)},
       {"\\\\.\\DISPLAY1 (A): is the primary and would be detached, and no other is named the "
        "primary"}},
      {"a detached primary",
       {At("B", k2, {}, {}, false, true)},
       {"\\\\.\\DISPLAY2 (B): a detached display cannot be the primary"}},
      {"two primaries",
       {a, At("B", k2, {1920, 0}, {}, true, true)},
       {"\\\\.\\DISPLAY2 (B): is a second primary"}},
      {"the primary at 0,0, all moved",
       {At("B", k2, {1920, 0}, {}, true, true)},
       {"\\\\.\\DISPLAY2 (B): position 1920,0 -> 0,0; becomes the primary",
        "\\\\.\\DISPLAY1 (A): position 0,0 -> -1920,0; no longer the primary"}},
      {"past the left edge of the numbers, once the primary is at 0,0",
       {At("A", k1, {kLeast, 0}, {}), At("B", k2, {100, 0}, {}, true, true)},
       {"\\\\.\\DISPLAY1 (A): position -2147483648,0 is out of range for 1920x1080 32 bits "
        "60 Hz with the primary at 0,0"}},
      {"past the right edge",
       {At("B", k2, {kMost - 100, 0}, {})},
       {"\\\\.\\DISPLAY2 (B): position 2147483547,0 is out of range for 1280x1024 32 bits 60 "
        "Hz with the primary at 0,0"}},
      {"detached", {At("B", k2, {}, {}, false)}, {"\\\\.\\DISPLAY2 (B): detached"}},
      {"attached with a mode",
       {At("C", "", {3200, 0}, {1024, 768, 0, 0})},
       {"\\\\.\\DISPLAY3 (C): attached at 3200,0, 1024x768"}},
      {"attached with none kept",
       {At("C", "", {3200, 0}, {})},
       {"\\\\.\\DISPLAY3 (C): 0x0 is no mode it offers"}},
      {"turned, given unturned", {At("A", k1, {}, {}, true, true, 90)}, {kTurned}},
      {"turned, given turned", {At("A", k1, {}, {1080, 1920, 32, 60}, true, true, 90)}, {kTurned}},
  };
  for (const auto& c : kCases) {
    const Result<LayoutPlan> plan = Plan(now, Layout{c.wanted}, offered);
    EXPECT_EQ(plan ? Describe(*plan) : std::vector{plan.error().message}, c.lines) << c.rule;
    if (plan) {
      EXPECT_EQ(plan->empty(), c.lines.empty()) << c.rule;
      EXPECT_TRUE(Plan(plan->after, plan->after, offered)->empty()) << c.rule;
    }
  }
  // What is written: the whole mode with the position, DEVMODE's turn, the
  // new primary flagged.
  const LayoutPlan moved =
      Plan(now, Layout{{At("B", k2, {1920, 0}, {}, true, true)}}, offered).value();
  EXPECT_TRUE(moved.changes[0].set_primary);
  EXPECT_EQ(moved.changes[1].settings,
            (platform::SettingsChange{true, Point{-1920, 0}, {1920, 1080, 32, 60, std::nullopt}}));
  EXPECT_EQ(
      Plan(now, Layout{{At("A", k1, {}, {}, true, true, 270)}}, offered)->changes[0].settings.mode,
      (platform::ModeFacts{1080, 1920, 32, 60, 3u}));
}

void SetEnvironment(const char* name, const std::string& value) {  // empty: unset
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  value.empty() ? unsetenv(name) : setenv(name, value.c_str(), 1);
#endif
}

// The simulated system as the current one, the saved layout in a folder of
// the test's own.
struct Twin {
  SimulatedSystem system;
  std::filesystem::path folder =
      std::filesystem::path(testing::TempDir()) /
      ("vantrel-apply-" +
       std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
  explicit Twin(SimulatedDisplays layout) : system(std::move(layout)) {
    std::filesystem::remove_all(folder);
    SetEnvironment("VANTREL_STATE_DIR", folder.string());
    platform::UseSystem(&system);
  }
  ~Twin() {
    platform::UseSystem(nullptr);
    SetEnvironment("VANTREL_STATE_DIR", "");
    std::filesystem::remove_all(folder);
  }
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
  const Layout before = TakeLayout();
  Layout wanted = before;
  wanted.displays[0].orientation = 90;
  wanted.displays[0].primary = false;
  wanted.displays[1].primary = true;
  wanted.displays[1].mode = {800, 600, 32, 60};
  wanted.displays[2].attached = false;
  const LayoutPlan plan = Plan(wanted).value();
  bool saved_first = false;
  twin.system.after_reset = [&](SimulatedDisplays&) {
    saved_first = LoadLayoutBefore().value() == before;
  };
  ASSERT_TRUE(ApplyLayout(wanted));
  EXPECT_TRUE(saved_first);
  const Layout after = TakeLayout();  // a detached display keeps no mode here, as under Wine
  EXPECT_EQ(after.displays[0], plan.after.displays[0]);
  EXPECT_EQ(after.displays[0], At("K1", k1, {-1920, 0}, {1080, 1920, 32, 60}, true, false, 90));
  EXPECT_EQ(after.displays[1], plan.after.displays[1]);
  EXPECT_FALSE(after.displays[2].attached);
  EXPECT_EQ(twin.system.counts().resets, 1);
  // Modes are listed only for the two displays a plan turns or gives another
  // mode: two each for Plan and ApplyLayout.
  EXPECT_EQ(twin.system.counts().modes, 4);
  EXPECT_EQ(
      std::vector<std::filesystem::path>(std::filesystem::directory_iterator(twin.folder), {}),
      std::vector{twin.folder / "layout-before.json"});  // no temporary left

  ASSERT_TRUE(Revert());
  EXPECT_EQ(TakeLayout(), before);
  EXPECT_EQ(twin.system.counts().resets, 2);
  EXPECT_TRUE(ApplyLayout(before));  // nothing to do: no reset
  EXPECT_EQ(twin.system.counts().resets, 2);
}

// Where the system lists no adapters (System's default), the layout is the
// snapshot's, and reading it back must find what was set.
TEST(Apply, WithoutAdaptersListedAppliesAtOnce) {
  auto layout = Three();
  layout.has_adapters = false;
  Twin twin(layout);
  Layout wanted = TakeLayout();
  wanted.displays[1].mode = {800, 600, 32, 60};
  ASSERT_TRUE(ApplyLayout(wanted));
  EXPECT_EQ(twin.system.counts().resets, 1);
  EXPECT_EQ(TakeLayout().displays[1].mode, (DisplayMode{800, 600, 32, 60}));
}

TEST(Apply, WhatTheSystemGivesOtherwiseIsPutBack) {
  const struct {
    const char* what;
    bool rotates;      // the first display's driver turns it
    int shrink_times;  // resets after which the second display shrinks
    int resets;
    const char* message;
  } kCases[] = {
      {"refused by the test", false, 0, 0,
       "\\\\.\\DISPLAY1 (K1): the system refuses attached at 0,0, 1080x1920 32 bits 60 Hz, "
       "turned 90, primary (DISP_CHANGE_BADMODE); nothing was changed"},
      {"something else, put back", true, 1, 2,
       "\\\\.\\DISPLAY2 (K2): asked attached at 1080,0, 1280x1024 32 bits 60 Hz, got attached at "
       "1080,0, 800x600 32 bits 60 Hz; the layout from before is back"},
      {"not even that", true, 2, 2,
       "\\\\.\\DISPLAY2 (K2): asked attached at 1080,0, 1280x1024 32 bits 60 Hz, got attached at "
       "1080,0, 800x600 32 bits 60 Hz; the layout from before is not back: \\\\.\\DISPLAY2 (K2): "
       "asked attached at 1920,0, "
       "1280x1024 32 bits 60 Hz, got attached at 1920,0, 800x600 32 bits 60 Hz"},
  };
  for (const auto& c : kCases) {
    auto layout = Three();
    layout.displays[0].rotates = c.rotates;
    layout.displays[2].attached = false;  // detached again on the way back
    layout.displays[2].registry = platform::SettingsFacts{{3200, 0}, {1024, 768, 32, 60, 0}};
    Twin twin(layout);
    const Layout before = TakeLayout();
    Layout wanted = before;
    wanted.displays[0].orientation = 90;
    wanted.displays[1].position = {1080, 0};
    wanted.displays[2].attached = true;
    wanted.displays[2].position = {2360, 0};
    int shrinks = c.shrink_times;
    twin.system.after_reset = [&](SimulatedDisplays& l) {
      if (shrinks-- <= 0) return;
      l.displays[1].current_mode = platform::ModeFacts{800, 600, 32, 60, 0};
    };
    const Result<void> done = ApplyLayout(wanted);
    ASSERT_FALSE(done) << c.what;
    EXPECT_EQ(done.error().message, c.message) << c.what;
    EXPECT_EQ(twin.system.counts().resets, c.resets) << c.what;
    EXPECT_EQ(Plan(before)->empty(), c.shrink_times < 2) << c.what;
  }
}

TEST(Apply, TheSavedLayoutsFaults) {
  Twin twin(Three());
  const std::string file = (twin.folder / "layout-before.json").string();
  EXPECT_EQ(LayoutBeforePath().value(), file);
  EXPECT_EQ(Revert().error().message, "no layout from before is saved at " + file);
  std::filesystem::create_directories(twin.folder);
  std::ofstream(file) << "{\n  \"schema\": 1\n}\n";
  EXPECT_EQ(LoadLayoutBefore().error().message, file + ": line 2: schema: expected a text");
  SetEnvironment("VANTREL_STATE_DIR", "");
  SetEnvironment("LOCALAPPDATA", "");
  EXPECT_EQ(SaveLayoutBefore({}).error().code, ErrorCode::kSystem);
  EXPECT_EQ(twin.system.counts().change_settings, 0);
}

}  // namespace
}  // namespace vantrel

// The C interface over the simulated system: its one rule for options (a
// struct zeroed but for its size means what null means), choosing a mode,
// a mode for a while, the calls on a window and on layouts, each the C++
// call it stands on with its status.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "simulated_store.h"
#include "simulated_system.h"
#include "vantrel/displays/apply.h"
#include "vantrel/displays/desktop.h"
#include "vantrel/displays/displays.h"
#include "vantrel/displays/json_reader.h"
#include "vantrel/displays/layout.h"
#include "vantrel/displays/layout_json.h"
#include "vantrel/displays/placement.h"
#include "vantrel/vantrel_c.h"

namespace vantrel::platform {
namespace {

TEST(CapiOptions, ZeroedSnapshotOptionsReadTheModesAsNullDoes) {
  SimulatedSystem system(SimulatedDisplays::FromRects({{0, 0, 1920, 1080}}));
  UseSystem(&system);
  vantrel_snapshot_options zeroed{};
  zeroed.size = sizeof zeroed;
  vantrel_snapshot_options without = zeroed;
  without.without_modes = 1;
  const struct {
    const char* what;
    const vantrel_snapshot_options* options;
    bool modes;
  } cases[] = {{"null", nullptr, true}, {"zeroed", &zeroed, true}, {"without", &without, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    vantrel_snapshot* snapshot = nullptr;
    ASSERT_EQ(vantrel_snapshot_take(c.options, &snapshot), VANTREL_OK);
    vantrel_display d{};
    d.size = sizeof d;
    EXPECT_EQ(vantrel_snapshot_display(snapshot, 0, &d), VANTREL_OK);
    EXPECT_EQ(d.mode_count > 0, c.modes);
    vantrel_snapshot_free(snapshot);
  }
  UseSystem(nullptr);
}

// A 1920 x 1080 display offering 800 x 600 too, at 8, 16 and 32 bits: null
// and zeroed ask for the mode in use; a snapshot without modes and one whose
// display offers none at all.
TEST(CapiModes, ClosestModeAsTheCppCallWithNullAsZeroed) {
  SimulatedSystem system(SimulatedDisplays::FromRects({{0, 0, 1920, 1080}}));
  UseSystem(&system);
  vantrel_snapshot *full = nullptr, *lean = nullptr, *none = nullptr;
  const vantrel_snapshot_options without{sizeof(vantrel_snapshot_options), 1};
  ASSERT_EQ(vantrel_snapshot_take(nullptr, &full), VANTREL_OK);
  ASSERT_EQ(vantrel_snapshot_take(&without, &lean), VANTREL_OK);
  system.layout().displays[0].current_mode.reset();
  ASSERT_EQ(vantrel_snapshot_take(&without, &none), VANTREL_OK);
  const vantrel_mode zeroed{sizeof(vantrel_mode), 0, 0, 0, 0};
  const vantrel_mode small{sizeof(vantrel_mode), 640, 480, 16, 0};
  const vantrel_mode short_size{sizeof(vantrel_mode) - 1, 640, 480, 16, 0};
  const struct {
    const char* what;
    const vantrel_snapshot* snapshot;
    std::size_t index;
    const vantrel_mode* wanted;
    vantrel_status status;
    vantrel_mode chosen;
  } rows[] = {
      {"null", full, 0, nullptr, VANTREL_OK, {0, 1920, 1080, 32, 60}},
      {"zeroed", full, 0, &zeroed, VANTREL_OK, {0, 1920, 1080, 32, 60}},
      {"smaller", full, 0, &small, VANTREL_OK, {0, 800, 600, 16, 60}},
      {"without modes", lean, 0, &small, VANTREL_OK, {0, 1920, 1080, 32, 60}},
      {"no mode at all", none, 0, nullptr, VANTREL_NOT_FOUND, {0, 0, 0, 0, 0}},
      {"wanted too short", full, 0, &short_size, VANTREL_ERROR_BAD_SIZE, {0, 7, 7, 7, 7}},
      {"no display 1", full, 1, nullptr, VANTREL_ERROR_OUT_OF_RANGE, {0, 7, 7, 7, 7}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    vantrel_mode m{sizeof m, 7, 7, 7, 7};
    EXPECT_EQ(vantrel_snapshot_closest_mode(row.snapshot, row.index, row.wanted, &m), row.status);
    EXPECT_EQ(m.size, sizeof m);
    EXPECT_EQ((std::array{m.width, m.height, m.bits_per_pixel, m.frequency}),
              (std::array{row.chosen.width, row.chosen.height, row.chosen.bits_per_pixel,
                          row.chosen.frequency}));
  }
  EXPECT_EQ(vantrel_snapshot_closest_mode(full, 0, nullptr, nullptr), VANTREL_ERROR_NULL_ARGUMENT);
  for (vantrel_snapshot* s : {full, lean, none}) vantrel_snapshot_free(s);
  UseSystem(nullptr);
}

// Every fact of the C struct is the C++ snapshot's, on a display whose facts
// are none of the defaults; a fallback outside the three is refused.
TEST(CapiSnapshot, EveryFactAsTheCppSnapshotHasIt) {
  auto layout = SimulatedDisplays::FromRects({{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}});
  SimulatedDisplay& d = layout.displays[1];
  d.dpi = 144;
  d.physical_size = PhysicalSizeFacts{344, 194};
  d.target->refresh_numerator = 60000;
  d.target->refresh_denominator = 1001;
  d.target->rotation = rotation::kRotate90;
  d.current_mode = ModeFacts{1280, 1024, 16, 75, 1};
  SimulatedSystem system(std::move(layout));
  UseSystem(&system);
  const Displays displays = Displays::Take(system);
  const Display& e = displays[1];
  vantrel_snapshot* s = nullptr;
  ASSERT_EQ(vantrel_snapshot_take(nullptr, &s), VANTREL_OK);
  vantrel_display c{};
  c.size = sizeof c;
  ASSERT_EQ(vantrel_snapshot_display(s, 1, &c), VANTREL_OK);
  EXPECT_EQ(c.number, e.number);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(c.monitor), e.handle);
  EXPECT_EQ(std::string_view(c.device_name), e.device_name);
  EXPECT_EQ(std::string_view(c.name), e.name);
  EXPECT_EQ(std::string_view(c.key), e.key);
  EXPECT_EQ(c.mode_count, e.modes.size());
  EXPECT_EQ(c.primary, 0);
  EXPECT_EQ((Rect{c.bounds.left, c.bounds.top, c.bounds.right, c.bounds.bottom}), e.bounds);
  EXPECT_EQ(c.work_area.right, e.work_area.right);
  EXPECT_EQ(c.dpi, 144u);
  EXPECT_EQ(c.scale, 1.5);
  EXPECT_EQ(c.physical_width_mm, 344);
  EXPECT_EQ(c.physical_height_mm, 194);
  EXPECT_EQ(c.orientation, 90);
  EXPECT_EQ(c.bits_per_pixel, 16);
  EXPECT_EQ(c.refresh_numerator, 60000u);
  EXPECT_EQ(c.refresh_denominator, 1001u);
  EXPECT_EQ(c.refresh_hertz, e.refresh_rate.hertz());
  EXPECT_EQ(c.connection, VANTREL_CONNECTION_INTERNAL);
  EXPECT_EQ((std::array{c.current_width, c.current_height, c.current_bits_per_pixel,
                        c.current_frequency}),
            (std::array{1280, 1024, 16, 75}));
  std::size_t index = 0;
  for (const std::int32_t fallback : {-1, 3}) {
    EXPECT_EQ(vantrel_snapshot_at_point(s, 0, 0, fallback, &index), VANTREL_ERROR_INVALID_ARGUMENT);
  }
  EXPECT_EQ(vantrel_snapshot_at_point(s, -9000, -9000, VANTREL_FALLBACK_PRIMARY, &index),
            VANTREL_OK);
  EXPECT_EQ(index, 0u);
  // Its modes, each by index and none past the last.
  vantrel_mode m{};
  m.size = sizeof m;
  EXPECT_EQ(vantrel_snapshot_mode(s, 1, c.mode_count - 1, &m), VANTREL_OK);
  EXPECT_EQ(vantrel_snapshot_mode(s, 1, c.mode_count, &m), VANTREL_ERROR_OUT_OF_RANGE);
  vantrel_snapshot_free(s);
  UseSystem(nullptr);
}

// A mode for a while, one call a row: its status and the width in use after
// it; then the ChangeSettings calls of the whole (a test and a set per
// change, one restore each).
TEST(CapiModeChange, SetRestoredOnceAndFreedAsTheCppOwner) {
  SimulatedSystem system(SimulatedDisplays::FromRects({{0, 0, 1920, 1080}}));
  UseSystem(&system);
  vantrel_snapshot* s = nullptr;
  ASSERT_EQ(vantrel_snapshot_take(nullptr, &s), VANTREL_OK);
  const auto row = [&](const char* what, vantrel_status status, vantrel_status expected,
                       std::int32_t width) {
    SCOPED_TRACE(what);
    EXPECT_EQ(status, expected);
    EXPECT_EQ(system.layout().displays[0].current_mode->width, width);
  };
  const vantrel_mode small{sizeof(vantrel_mode), 800, 600, 0, 0};
  const vantrel_mode odd{sizeof(vantrel_mode), 801, 600, 0, 0};
  vantrel_mode_change *first = nullptr, *second = nullptr;
  auto* refused = reinterpret_cast<vantrel_mode_change*>(std::uintptr_t{16});
  row("not offered", vantrel_mode_change_set(s, 0, &odd, &refused), VANTREL_ERROR_REFUSED, 1920);
  EXPECT_EQ(refused, nullptr);
  row("set", vantrel_mode_change_set(s, 0, &small, &first), VANTREL_OK, 800);
  row("restored", vantrel_mode_change_restore(first), VANTREL_OK, 1920);
  row("freed once restored", vantrel_mode_change_free(first), VANTREL_OK, 1920);
  row("set again", vantrel_mode_change_set(s, 0, &small, &second), VANTREL_OK, 800);
  row("freed", vantrel_mode_change_free(second), VANTREL_OK, 1920);
  row("freed twice", vantrel_mode_change_free(second), VANTREL_ERROR_BAD_HANDLE, 1920);
  EXPECT_EQ(system.counts().change_settings, 7);
  vantrel_snapshot_free(s);
  UseSystem(nullptr);
}

// A display whose picture a second monitor shows too; a caller built before
// clone_count gives the struct's older size and gets the members it holds.
TEST(CapiClones, EachCloneByIndexAndTheDisplayToOlderCallers) {
  auto layout = SimulatedDisplays::FromRects({{0, 0, 1920, 1080}});
  layout.displays[0].clones.push_back({"", "Display2", "k2", output_technology::kHdmi, 1, 60, 1});
  SimulatedSystem system(std::move(layout));
  UseSystem(&system);
  vantrel_snapshot* s = nullptr;
  ASSERT_EQ(vantrel_snapshot_take(nullptr, &s), VANTREL_OK);
  vantrel_display d{};
  d.size = sizeof d;
  ASSERT_EQ(vantrel_snapshot_display(s, 0, &d), VANTREL_OK);
  vantrel_clone c{sizeof c, nullptr, nullptr};
  EXPECT_EQ(d.clone_count, 1u);
  ASSERT_EQ(vantrel_snapshot_clone(s, 0, 0, &c), VANTREL_OK);
  EXPECT_EQ(std::string(c.name) + "," + c.key, "Display2,k2");
  vantrel_display old{};
  old.size = offsetof(vantrel_display, clone_count);
  old.clone_count = 7;
  EXPECT_EQ(vantrel_snapshot_display(s, 0, &old), VANTREL_OK);
  EXPECT_EQ(old.current_frequency, 60);
  EXPECT_EQ(old.clone_count, 7u);  // beyond its size: untouched
  vantrel_snapshot_free(s);
  UseSystem(nullptr);
}

// Two displays side by side, the left one's work area narrowed by a bar on
// its left edge, and a window on the right one.
TEST(CapiWindows, CentringPlacesAndLookupsStandOnTheCppCalls) {
  auto layout = SimulatedDisplays::FromRects({{0, 0, 1280, 1024}, {1280, 0, 2304, 768}});
  layout.displays[0].work_area = {100, 0, 1280, 1024};
  layout.windows[7] = {{1400, 100, 1800, 400}, {1400, 100, 1800, 400}};
  SimulatedSystem system(std::move(layout));
  UseSystem(&system);
  void* const window = reinterpret_cast<void*>(std::uintptr_t{7});
  void* const gone = reinterpret_cast<void*>(std::uintptr_t{8});
  auto& w = system.layout().windows[7];

  vantrel_snapshot* s = nullptr;
  ASSERT_EQ(vantrel_snapshot_take(nullptr, &s), VANTREL_OK);
  std::size_t index = 9;
  EXPECT_EQ(vantrel_snapshot_of_window(s, window, VANTREL_FALLBACK_NONE, &index), VANTREL_OK);
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(vantrel_snapshot_of_window(s, gone, VANTREL_FALLBACK_NEAREST, &index), VANTREL_OK);
  EXPECT_EQ(index, 0u);  // a window that is gone: the primary
  EXPECT_EQ(vantrel_snapshot_of_window(s, gone, VANTREL_FALLBACK_NONE, &index), VANTREL_NOT_FOUND);

  // Centred on the left display's work area, its size kept.
  EXPECT_EQ(vantrel_centre_window(s, 0, window), VANTREL_OK);
  EXPECT_EQ(w.rect, (Rect{490, 362, 890, 662}));

  // Saved there, moved off every display, brought back into view, put back.
  char place[512];
  std::size_t size = 0;
  ASSERT_EQ(vantrel_placement_save(window, place, sizeof place, &size), VANTREL_OK);
  EXPECT_EQ(std::strlen(place) + 1, size);
  w = {{-3000, -3000, -2600, -2700}, {-3000, -3000, -2600, -2700}};
  std::int32_t moved = 9;
  EXPECT_EQ(vantrel_window_ensure_visible(window, &moved), VANTREL_OK);
  EXPECT_EQ(moved, 1);
  EXPECT_EQ(vantrel_window_ensure_visible(window, &moved), VANTREL_OK);
  EXPECT_EQ(moved, 0);
  EXPECT_EQ(vantrel_placement_restore(window, place), VANTREL_OK);
  EXPECT_EQ(w.rect, (Rect{490, 362, 890, 662}));
  // Where the place would go, as restore put it; maximized, said so.
  WindowPlacement maximized = PlacementFromText(place).value();
  maximized.state = WindowState::kMaximized;
  for (const auto& [text, is_maximized] :
       {std::pair{std::string(place), 0}, {ToText(maximized), 1}}) {
    vantrel_placed placed{};
    placed.size = sizeof placed;
    EXPECT_EQ(vantrel_placement_fit(s, text.c_str(), &placed), VANTREL_OK);
    EXPECT_EQ(placed.maximized, is_maximized);
    EXPECT_EQ(placed.display, 0u);
    EXPECT_EQ(
        (Rect{placed.bounds.left, placed.bounds.top, placed.bounds.right, placed.bounds.bottom}),
        (Rect{490, 362, 890, 662}));
  }

  // A window that is gone: the system's error, named.
  const struct {
    const char* what;
    vantrel_status status;
  } gone_cases[] = {
      {"centre", vantrel_centre_window(s, 0, gone)},
      {"save", vantrel_placement_save(gone, nullptr, 0, &size)},
      {"restore", vantrel_placement_restore(gone, place)},
      {"in view", vantrel_window_ensure_visible(gone, &moved)},
  };
  for (const auto& c : gone_cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.status, VANTREL_ERROR_SYSTEM);
  }
  // The last call's message: the function, then what failed.
  EXPECT_EQ(std::string_view(vantrel_last_error_message()),
            "vantrel_window_ensure_visible: reading the window's place failed (system error 1400)");
  vantrel_snapshot_free(s);
  UseSystem(nullptr);
}

// A text out as every such call gives it: the size asked with no buffer, a
// buffer one byte short refused with the size, then the text. Else the
// status and the message.
template <class Call>
std::pair<vantrel_status, std::string> TextOf(Call call) {
  std::size_t size = 0, again = 0;
  if (const vantrel_status s = call(nullptr, std::size_t{0}, &size))
    return {s, vantrel_last_error_message()};
  std::string text(size, 'x');
  EXPECT_EQ(call(text.data(), size - 1, &again), VANTREL_ERROR_BUFFER_TOO_SMALL);
  EXPECT_EQ(call(text.data(), size, &again), VANTREL_OK);
  EXPECT_EQ(again, size);
  EXPECT_EQ(text.back(), '\0');
  text.pop_back();
  return {VANTREL_OK, text};
}

std::pair<vantrel_status, std::string> StatusOf(vantrel_status status) {
  return {status, vantrel_last_error_message()};
}

// The plan as vantrel_layout_plan documents it, read field by field, so that
// a field missing, unknown or of the wrong type fails.
Result<std::vector<LayoutChange>> PlanFromJson(std::string_view text) {
  return json::Read(text, [](json::Reader& r) {
    std::vector<LayoutChange> changes;
    const auto change = [&] {
      LayoutChange& c = changes.emplace_back();
      r.Object({{"adapter", [&] { c.adapter = r.Text(); }},
                {"key", [&] { c.key = r.Text(); }},
                {"description", [&] { r.Text(); }},
                {"before", [&] { c.before = json::ReadLayoutDisplay(r); }},
                {"after", [&] { c.after = json::ReadLayoutDisplay(r); }}});
    };
    r.Object(
        {r.Schema("vantrel-layout-plan"), r.Version(1), {"changes", [&] { r.Array(change); }}});
    r.End("plan");
    return changes;
  });
}

// Three displays, the second offering 800 x 600; the layout from before
// saved in a simulated store. The rows are called in order, each
// on what the last left.
TEST(CapiLayouts, JsonPlanApplyRevertAsTheCppCalls) {
  auto three = SimulatedDisplays::FromRects(
      {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}, {3200, 0, 4224, 768}});
  for (std::size_t k = 0; k < 3; ++k)
    three.displays[k].target->device_path = "K" + std::to_string(k);
  SimulatedSystem system(std::move(three));
  SimulatedStore store;
  UseStore(&store);
  UseSystem(&system);
  const std::string before = ToJson(TakeLayout());
  Layout edited = TakeLayout();
  edited.displays[1].mode = {800, 600, 32, 60};
  const std::string smaller = ToJson(edited);
  edited.displays[1].mode = {1234, 567, 32, 60};
  const std::string no_mode = ToJson(edited);
  vantrel_snapshot* s = nullptr;
  ASSERT_EQ(vantrel_snapshot_take(nullptr, &s), VANTREL_OK);
  const auto plan = [](const std::string& l) {
    return TextOf([&](auto... out) { return vantrel_layout_plan(l.c_str(), out...); });
  };
  const auto resets = [&] { return system.counts().resets; };
  const struct {
    const char* what;
    std::pair<vantrel_status, std::string> got;  // called in order, as listed
    int resets_then;
    vantrel_status status;
    std::string text;  // a part of the text given, else of the message
    int resets;
  } rows[] = {
      {"in force", TextOf(vantrel_layout_json), resets(), VANTREL_OK, before, 0},
      {"a snapshot's, all attached",
       TextOf([&](auto... out) { return vantrel_snapshot_layout_json(s, out...); }), resets(),
       VANTREL_OK, before, 0},
      {"nothing saved", StatusOf(vantrel_layout_revert()), resets(), VANTREL_ERROR_SYSTEM,
       "vantrel_layout_revert: no layout from before is saved at ", 0},
      {"planned against itself", plan(before), resets(), VANTREL_OK, "\"changes\": []", 0},
      {"planned smaller", plan(smaller), resets(), VANTREL_OK,
       R"("key": "K1",
      "description": "\\\\.\\DISPLAY2 (K1): mode 1280x1024 32 bits 60 Hz -> 800x600 32 bits 60 Hz",)",
       0},
      {"applied", StatusOf(vantrel_layout_apply(smaller.c_str())), resets(), VANTREL_OK, "", 1},
      {"in force after", TextOf(vantrel_layout_json), resets(), VANTREL_OK, smaller, 1},
      {"refused", StatusOf(vantrel_layout_apply(no_mode.c_str())), resets(), VANTREL_ERROR_REFUSED,
       "vantrel_layout_apply: \\\\.\\DISPLAY2 (K1): 1234x567 32 bits 60 Hz is no mode it offers",
       1},
      {"no layout", plan("{\n  \"schema\": 1\n}"), resets(), VANTREL_ERROR_INVALID_ARGUMENT,
       "vantrel_layout_plan: line 2: schema: expected a text", 1},
      {"reverted", StatusOf(vantrel_layout_revert()), resets(), VANTREL_OK, "", 2},
      {"in force again", TextOf(vantrel_layout_json), resets(), VANTREL_OK, before, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.got.first, row.status) << row.got.second;
    EXPECT_NE(row.got.second.find(row.text), std::string::npos) << row.got.second;
    EXPECT_EQ(row.resets_then, row.resets);
  }
  // The plan to the smaller mode again, read as documented: the C++ plan's.
  const auto [status, text] = plan(smaller);
  ASSERT_EQ(status, VANTREL_OK) << text;
  const Result<std::vector<LayoutChange>> read = PlanFromJson(text);
  ASSERT_TRUE(read) << read.error().message;
  const LayoutPlan planned = Plan(LayoutFromJson(smaller).value()).value();
  ASSERT_EQ(read->size(), 1u);
  ASSERT_EQ(planned.changes.size(), 1u);
  const LayoutChange& change = planned.changes[0];
  EXPECT_EQ((*read)[0].key, "K1");
  EXPECT_EQ(std::tie((*read)[0].adapter, (*read)[0].before, (*read)[0].after),
            std::tie(change.adapter, change.before, change.after));
  vantrel_snapshot_free(s);
  UseSystem(nullptr);
  UseStore(nullptr);
}

// The memory's file in a simulated store, the rows in order: none read as
// the empty memory, then kept into, put back, and a file that is no memory
// refused and left as it was.
TEST(CapiDesktop, MemoryReadKeptAndRestored) {
  SimulatedSystem system(SimulatedDisplays::FromRects({{0, 0, 1920, 1080}}));
  SimulatedStore store;
  UseStore(&store);
  UseSystem(&system);
  std::int32_t moved = -1, skipped = -1;
  const auto json = [] { return TextOf(vantrel_desktop_json); };
  const auto file = [&] { return store.files.contains("desktop.json"); };
  const struct {
    const char* what;
    std::pair<vantrel_status, std::string> got;  // called in order, as listed
    bool file_then;
    vantrel_status status;
    std::string text;  // a part of the text given, else of the message
    bool file;
  } rows[] = {
      {"none yet", json(), file(), VANTREL_OK, ToJson(DesktopMemory{}), false},
      {"remembered", StatusOf(vantrel_desktop_remember()), file(), VANTREL_OK, "", true},
      {"restored", StatusOf(vantrel_desktop_restore(&moved, &skipped)), file(), VANTREL_OK, "",
       true},
      {"as kept", json(), file(), VANTREL_OK, "\"vantrel-desktop\"", true},
      {"cut short", (store.files["desktop.json"].resize(20), json()), file(),
       VANTREL_ERROR_INVALID_ARGUMENT, "vantrel_desktop_json: state/desktop.json: ", true},
      {"not kept into", StatusOf(vantrel_desktop_remember()), file(),
       VANTREL_ERROR_INVALID_ARGUMENT, "vantrel_desktop_remember: state/desktop.json: ", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.got.first, row.status) << row.got.second;
    EXPECT_NE(row.got.second.find(row.text), std::string::npos) << row.got.second;
    EXPECT_EQ(row.file_then, row.file);
  }
  EXPECT_EQ(store.files["desktop.json"].size(), 20u);
  EXPECT_TRUE(moved == 0 && skipped == 0);
  UseSystem(nullptr);
  UseStore(nullptr);
}

}  // namespace
}  // namespace vantrel::platform

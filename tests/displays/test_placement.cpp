// A window's place: each rule of Fit, its line of text, and saving and
// restoring through simulated windows in both coordinate conventions.
#include <gtest/gtest.h>

#include <climits>

#include "simulated_window_placement.h"
#include "vantrel/displays/placement.h"
#include "vantrel/displays/window_placement.h"

namespace vantrel {
namespace {

using platform::NormalCoordinates;

// The Wine tests' three displays, the primary's work area narrowed by a bar
// of 100 pixels on its left edge.
const std::vector<Rect> kBounds{{0, 0, 1280, 1024}, {-1024, 100, 0, 868}, {1280, 0, 2304, 768}};
const Rect kPrimaryWork{100, 0, 1280, 1024};

Displays Three(const std::function<void(std::vector<Display>&)>& change = {}) {
  std::vector<Display> d(3);
  for (std::size_t k = 0; k < 3; ++k) {
    d[k].key = std::string(1, "PLR"[k]);
    d[k].bounds = d[k].work_area = kBounds[k];
  }
  d[0].primary = true;
  d[0].work_area = kPrimaryWork;
  if (change) change(d);
  return Displays(std::move(d));
}

WindowPlacement OnRight(Rect bounds, std::uint32_t dpi = 96) {
  return {"R", bounds, kBounds[2], dpi, WindowState::kNormal};
}

// clang-format off
TEST(Fit, EachRule) {
  const Rect r1{1480, 150, 1880, 450};
  struct Case {
    const char* rule;
    WindowPlacement saved;
    std::function<void(std::vector<Display>&)> change;
    const char* key;
    Rect bounds;
  } cases[] = {
      {"2: unchanged", OnRight(r1), {}, "R", r1},
      {"2: DPI 0 is 96", OnRight(r1, 0), {}, "R", r1},
      {"2/5: spread over two, title bar on the primary's work area",
       {"P", {1000, 100, 1500, 400}, kPrimaryWork, 96, WindowState::kMaximized}, {}, "P",
       {1000, 100, 1500, 400}},
      {"5: title bar above every work area", OnRight({1480, -20, 1880, 280}), {}, "R",
       {1480, 0, 1880, 300}},
      {"5: 60 pixels of title bar", {"P", {-240, 10, 160, 310}, kPrimaryWork}, {}, "P",
       {-240, 10, 160, 310}},
      {"5: 59 pixels of title bar", {"P", {-241, 10, 159, 310}, kPrimaryWork}, {}, "P",
       {100, 10, 500, 310}},
      {"5: title bar on the work area's last 30 pixels", OnRight({1480, 738, 1880, 1038}), {}, "R",
       {1480, 738, 1880, 1038}},
      {"5: larger than the work area", OnRight({1000, -50, 3000, 1000}), {}, "R", kBounds[2]},
      {"3: 144 DPI", OnRight(r1), [](auto& d) { d[2].dpi = 144; }, "R", {1580, 225, 2180, 675}},
      {"3: halves away from zero", OnRight({1282, 6, 1684, 308}), [](auto& d) { d[2].dpi = 120; },
       "R", {1283, 8, 1786, 386}},
      {"4: moved", OnRight(r1),
       [](auto& d) { d[2].bounds = d[2].work_area = {1280, 100, 2304, 868}; }, "R",
       {1480, 250, 1880, 550}},
      {"4: work area narrowed", OnRight(r1), [](auto& d) { d[2].work_area.left = 1400; }, "R",
       {1600, 150, 2000, 450}},
      {"4/1: gone, the nearest display's work area", OnRight(r1), [](auto& d) { d.pop_back(); },
       "P", {300, 150, 700, 450}},
      {"1: unknown key, the display of its rectangle", {"X", {-900, 200, -500, 500}, kBounds[1]},
       {}, "L", {-900, 200, -500, 500}},
      {"1: no key, no rectangle: the primary", {}, {}, "P", {100, 0, 100, 0}},
      {"saturates", {"R", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {INT32_MAX, 0, 0, 0}, 1},
       [](auto& d) { d[2].dpi = UINT32_MAX; }, "R", kBounds[2]},
  };
  for (const Case& c : cases) {
    const Displays now = Three(c.change);
    const Placed placed = Fit(c.saved, now);
    ASSERT_NE(placed.display, nullptr) << c.rule;
    EXPECT_EQ(placed.display->key, c.key) << c.rule;
    EXPECT_EQ(placed.bounds, c.bounds) << c.rule;
    EXPECT_EQ(placed.state, c.saved.state) << c.rule;
  }
}
// clang-format on

TEST(PlacementText, AnyKeyRoundTripsAndNothingElseParses) {
  const char key[] = "\\\\?\\D#0 %\0\xff\n=";
  const WindowPlacement p{std::string(key, sizeof key - 1),
                          {-1, 2, INT32_MAX, INT32_MIN},
                          {0, 0, 1280, 1024},
                          144,
                          WindowState::kMaximized};
  const std::string text = ToText(p);
  EXPECT_EQ(text.find_first_of(" \n", text.find("key=")), std::string::npos);
  EXPECT_EQ(PlacementFromText(text), p);
  EXPECT_EQ(ToText(WindowPlacement{}),
            "vantrel-placement 1 state=normal dpi=96 bounds=0,0,0,0 work=0,0,0,0 key=");
  const std::string good = ToText(OnRight({1, 2, 3, 4}));
  for (const std::string& bad :
       {std::string(), good.substr(0, good.find(" work")), good + "\n", good + "%4", good + "%4g",
        good + "%5c", good + "%41", "vantrel-placement 2" + good.substr(19),
        std::string(good).replace(good.find("96"), 2, "096"),
        std::string(good).replace(good.find("96"), 2, "+96"),
        std::string(good).replace(good.find("normal"), 6, "minimized"),
        std::string(good).replace(good.find("1,"), 1, "-0")}) {
    EXPECT_EQ(PlacementFromText(bad), std::nullopt) << bad;
  }
}

struct TwinSystem {
  explicit TwinSystem(NormalCoordinates c) : windows(facts, c) {
    facts.layout().displays[0].work_area = kPrimaryWork;
  }
  WindowSystem system() { return {facts, windows}; }
  platform::SimulatedDisplayFacts facts{platform::SimulatedDisplays::FromRects(kBounds)};
  platform::SimulatedWindows windows;
};

TEST(SaveAndRestore, BothCoordinateConventionsOnAWorkAreaOffItsCorner) {
  const Rect r{300, 200, 700, 500};
  namespace show = platform::show_command;
  for (const auto c : {NormalCoordinates::kWorkspace, NormalCoordinates::kScreen}) {
    for (const bool tool : {false, true}) {
      for (const std::uint32_t state : {show::kNormal, show::kMaximized, show::kMinimized}) {
        SCOPED_TRACE(testing::Message() << int(c) << tool << state);
        TwinSystem twin(c);
        auto& w = twin.windows.windows;
        w[1] = {r, r, show::kNormal, 0, tool};
        auto p = *twin.windows.Placement(1);
        p.show_command = state;
        p.flags = state == show::kMinimized ? platform::kRestoreToMaximized : 0;
        ASSERT_TRUE(twin.windows.SetPlacement(1, p));

        const WindowPlacement saved = SavePlacement(twin.system(), 1);
        EXPECT_EQ(saved,
                  (WindowPlacement{
                      twin.facts.layout().displays[0].target->device_path, r, kPrimaryWork, 96,
                      state == show::kNormal ? WindowState::kNormal : WindowState::kMaximized}));
        // A new window, shown elsewhere, takes the place in one call.
        w[2] = {kBounds[2], kBounds[2], show::kNormal, 0, tool};
        twin.windows.set_placements = 0;
        ASSERT_TRUE(RestorePlacement(twin.system(), 2, saved));
        EXPECT_EQ(twin.windows.set_placements, 1);
        EXPECT_EQ(w[2].normal, r);
        EXPECT_EQ(w[2].show, state == show::kNormal ? show::kNormal : show::kMaximized);
        EXPECT_EQ(w[2].rect, state == show::kNormal ? r : kPrimaryWork);
        // Learnt once: from the window shown normally, else from one probe.
        EXPECT_EQ(twin.windows.probes, state == show::kNormal || tool ? 0 : 1);
      }
    }
  }
}

TEST(SaveAndRestore, AWindowThatRescalesOnTheWayEndsAtFitsRectangle) {
  TwinSystem twin(NormalCoordinates::kWorkspace);
  twin.facts.layout().displays[2].dpi = 144;
  twin.windows.windows[1] = {{300, 200, 700, 500}, {300, 200, 700, 500}};
  const WindowPlacement saved{
      twin.facts.layout().displays[2].target->device_path, {1480, 150, 2080, 600}, kBounds[2], 144};
  ASSERT_TRUE(RestorePlacement(twin.system(), 1, saved));
  EXPECT_EQ(twin.windows.windows[1].rect, saved.bounds);
  EXPECT_EQ(twin.windows.set_placements, 2);
}

TEST(EnsureVisible, MovesOnlyAWindowWhoseTitleBarNoDisplayShows) {
  TwinSystem twin(NormalCoordinates::kWorkspace);
  auto& w = twin.windows.windows;
  w[1] = {{-3000, -3000, -2600, -2700}, {-3000, -3000, -2600, -2700}};
  w[2] = {{1280, 700, 1680, 1000}, {1280, 700, 1680, 1000}};
  EXPECT_TRUE(EnsureVisible(twin.system(), 1));
  EXPECT_EQ(w[1].rect, (Rect{-1024, 100, -624, 400}));  // the left display is the nearest
  EXPECT_FALSE(EnsureVisible(twin.system(), 2));
  // Maximized where no display is, though it would restore onto the left
  // one: it maximizes there.
  w[4] = {{-3000, -3000, -2000, -2000}, {-900, 200, -500, 500}, platform::show_command::kMaximized};
  EXPECT_TRUE(EnsureVisible(twin.system(), 4));
  EXPECT_EQ(w[4].show, platform::show_command::kMaximized);
  EXPECT_EQ(w[4].rect, kBounds[1]);
  EXPECT_FALSE(EnsureVisible(twin.system(), 3));
  EXPECT_FALSE(RestorePlacement(twin.system(), 3, {}));
  EXPECT_EQ(SavePlacement(twin.system(), 3), WindowPlacement{});
}

}  // namespace
}  // namespace vantrel

// A window's place: each rule of Fit, its line of text, the calls on a
// window over the simulated system, and the conversion of a normal rectangle
// in both coordinate conventions.
#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "simulated_system.h"
#include "vantrel/displays/placement.h"
#include "vantrel/platform/normal_coordinates.h"

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
  EXPECT_EQ(*PlacementFromText(text), p);
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
    EXPECT_FALSE(PlacementFromText(bad).has_value()) << bad;
  }
}

// The Wine tests' layout on the simulated system, made the current one.
struct Twin {
  Twin() {
    system.layout().displays[0].work_area = kPrimaryWork;
    platform::UseSystem(&system);
  }
  ~Twin() { platform::UseSystem(nullptr); }
  platform::SimulatedSystem system{platform::SimulatedDisplays::FromRects(kBounds)};
  std::map<std::uintptr_t, platform::SimulatedWindow>& w = system.layout().windows;
};
HWND__* H(std::uintptr_t id) { return reinterpret_cast<HWND__*>(id); }

TEST(SaveAndRestore, EachStateOnAWorkAreaOffItsCorner) {
  const Rect r{300, 200, 700, 500};
  namespace show = platform::show_command;
  for (const std::uint32_t state : {show::kNormal, show::kMaximized, show::kMinimized}) {
    SCOPED_TRACE(state);
    Twin twin;
    for (auto& d : twin.system.layout().displays) d.dpi = 120;
    twin.w[1] = {r, r};
    auto p = *twin.system.Placement(1);
    p.show_command = state;
    p.flags = state == show::kMinimized ? platform::kRestoreToMaximized : 0;
    ASSERT_TRUE(twin.system.SetPlacement(1, p));

    const WindowPlacement saved = SavePlacement(H(1)).value();
    EXPECT_EQ(saved, (WindowPlacement{
                         twin.system.layout().displays[0].target->device_path, r, kPrimaryWork, 120,
                         state == show::kNormal ? WindowState::kNormal : WindowState::kMaximized}));
    // A new window, shown elsewhere, takes the place in one call.
    twin.w[2] = {kBounds[2], kBounds[2]};
    const int before = twin.system.counts().set_placements;
    ASSERT_TRUE(RestorePlacement(H(2), saved));
    EXPECT_EQ(twin.system.counts().set_placements, before + 1);
    EXPECT_EQ(twin.w[2].normal, r);
    EXPECT_EQ(twin.w[2].show, state == show::kNormal ? show::kNormal : show::kMaximized);
    EXPECT_EQ(twin.w[2].rect, state == show::kNormal ? r : kPrimaryWork);
  }
}

// Windows' workspace coordinates and Wine's screen ones, each learnt once:
// from a window shown normally, else from one hidden window.
TEST(NormalConverter, BothConventionsOnAWorkAreaOffItsCorner) {
  using platform::NormalCoordinates;
  const platform::MonitorAreas primary{kBounds[0], kPrimaryWork};
  const platform::MonitorAreas right{kBounds[2], kBounds[2]};
  const Rect screen{300, 200, 700, 500};
  const Rect workspace{200, 200, 600, 500};
  for (const auto c : {NormalCoordinates::kWorkspace, NormalCoordinates::kScreen}) {
    const Rect normal = c == NormalCoordinates::kScreen ? screen : workspace;
    for (const bool observed : {false, true}) {
      SCOPED_TRACE(testing::Message() << int(c) << observed);
      int probes = 0;
      platform::NormalConverter converter([&](const Rect& at) -> std::optional<Rect> {
        ++probes;
        return platform::ScreenToNormal(at, c, platform::OffsetOf(kBounds[0], kPrimaryWork));
      });
      // Where the work area starts at the corner nothing need be learnt.
      EXPECT_EQ(converter.ToScreen(screen, false, right), screen);
      if (observed) converter.Observe(screen, normal, primary);
      EXPECT_EQ(converter.ToScreen(normal, false, primary), screen);
      EXPECT_EQ(converter.ToSystem(screen, false, primary), normal);
      EXPECT_EQ(converter.ToSystem(screen, true, primary), screen);  // a tool window
      EXPECT_EQ(converter.learnt(), c);
      EXPECT_EQ(probes, observed ? 0 : 1);
    }
  }
}

TEST(SaveAndRestore, AWindowThatRescalesOnTheWayEndsAtFitsRectangle) {
  Twin twin;
  twin.system.layout().displays[2].dpi = 144;
  twin.w[1] = {{300, 200, 700, 500}, {300, 200, 700, 500}};
  const WindowPlacement saved{twin.system.layout().displays[2].target->device_path,
                              {1480, 150, 2080, 600},
                              kBounds[2],
                              144};
  ASSERT_TRUE(RestorePlacement(H(1), saved));
  EXPECT_EQ(twin.w[1].rect, saved.bounds);
  EXPECT_EQ(twin.system.counts().set_placements, 2);
}

TEST(EnsureVisible, MovesOnlyAWindowWhoseTitleBarNoDisplayShows) {
  Twin twin;
  auto& w = twin.w;
  w[1] = {{-3000, -3000, -2600, -2700}, {-3000, -3000, -2600, -2700}};
  w[2] = {{1280, 700, 1680, 1000}, {1280, 700, 1680, 1000}};
  EXPECT_EQ(*EnsureVisible(H(1)), Visibility::kMoved);
  EXPECT_EQ(w[1].rect, (Rect{-1024, 100, -624, 400}));  // the left display is the nearest
  EXPECT_EQ(*EnsureVisible(H(2)), Visibility::kAlreadyInView);
  // Maximized where no display is, though it would restore onto the left
  // one: it maximizes there.
  w[4] = {{-3000, -3000, -2000, -2000}, {-900, 200, -500, 500}, platform::show_command::kMaximized};
  EXPECT_EQ(*EnsureVisible(H(4)), Visibility::kMoved);
  EXPECT_EQ(w[4].show, platform::show_command::kMaximized);
  EXPECT_EQ(w[4].rect, kBounds[1]);
  // A window that is gone is told apart from one in view.
  for (const Error& e : {EnsureVisible(H(3)).error(), RestorePlacement(H(3), {}).error(),
                         SavePlacement(H(3)).error(), CentreWindow(H(3), Three()[0]).error()}) {
    EXPECT_EQ(e.code, ErrorCode::kNoSuchWindow);
    EXPECT_EQ(e.system_error, 1400u);
  }
  // A window there that the system will not move: the code its call gave.
  w[5] = {{-3000, -3000, -2600, -2700}, {-3000, -3000, -2600, -2700}};
  w[5].refuses = 5;  // ERROR_ACCESS_DENIED
  const struct {
    Error error;
    const char* message;
  } kRefused[] = {
      {EnsureVisible(H(5)).error(), "moving the window failed (system error 5)"},
      {RestorePlacement(H(5), {}).error(),
       "putting the window in its place failed (system error 5)"},
      {CentreWindow(H(5), Three()[0]).error(), "moving the window failed (system error 5)"},
  };
  for (const auto& r : kRefused) {
    EXPECT_EQ(r.error.code, ErrorCode::kSystem);
    EXPECT_EQ(r.error.system_error, 5u);
    EXPECT_EQ(r.error.message, r.message);
  }
  EXPECT_EQ(w[5].rect, (Rect{-3000, -3000, -2600, -2700}));
}

}  // namespace
}  // namespace vantrel

#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "simulated_display_service.h"
#include "toolkit_doubles.h"
#include "vantrel/base/attempt.h"
#include "vantrel/monitors/clsMonitors.h"

namespace vantrel {
namespace {

using namespace platform;
using testing_doubles::FakeForm;
using testing_doubles::FakeScreen;
using testing_doubles::Moved;

// A primary monitor of 80 x 60 pixels with a 4-pixel bar along the bottom,
// and one left of it whose work area is its bounds.
SimulatedDisplayService TwoMonitors() {
  auto layout = SimulatedLayout::ForMonitors({{0, 0, 80, 60}, {-64, 0, 0, 48}});
  layout.monitors[0].work = {0, 0, 80, 56};
  layout.windows[7] = {-50, 10, -30, 20};  // a reference window on the left one
  return SimulatedDisplayService(std::move(layout));
}

FakeForm Window(float width, float height) {
  FakeForm f;
  f.width = width;
  f.height = height;
  return f;
}

// Where the primary-screen fallback puts a 300 x 100 window: the whole 80 x 60
// pixels at 10 twips each, bar and all, with halved differences.
constexpr Moved kPrimaryScreenCentre{250, 250};

TEST(CenterFormOnMonitor, WithoutAReferenceCentresOnThePrimaryWorkArea) {
  auto svc = TwoMonitors();
  FakeScreen screen(10, 10);
  clsMonitors list(svc, &screen);
  auto form = Window(300, 200);
  EXPECT_FALSE(list.CenterFormOnMonitor(form));
  EXPECT_EQ(form.moves, (std::vector<Moved>{{250, 180}}));
}

TEST(CenterFormOnMonitor, CentresOnTheReferenceWindowsMonitor) {
  auto svc = TwoMonitors();
  FakeScreen screen(10, 10);
  clsMonitors list(svc, &screen);
  auto form = Window(301, 200);
  FakeForm reference;
  reference.hwnd = ui::Value{std::int64_t{7}};
  EXPECT_FALSE(list.CenterFormOnMonitor(form, ui::Value{&reference}));
  // nearest(640 - 301) = 339, halved 169, plus the corner at -64 pixels.
  ASSERT_EQ(form.moves.size(), 1u);
  EXPECT_EQ(form.moves[0].left, -471);
  EXPECT_EQ(form.moves[0].top, 140);
}

TEST(CenterFormOnMonitor, ABarOnTheLeftEdgeStillCentresOnTheWorkArea) {
  SimulatedDisplayService svc(SimulatedLayout::ForMonitors({{0, 0, 200, 100}}));
  svc.layout().monitors[0].work = {20, 0, 200, 100};
  FakeScreen screen(10, 10);
  clsMonitors list(svc, &screen);
  auto form = Window(300, 200);
  list.CenterFormOnMonitor(form);
  // A 30-pixel window whose centre is the work area's, at x = 110.
  ASSERT_EQ(form.moves.size(), 1u);
  EXPECT_EQ(form.moves[0].left / 10 + 15, 110);
}

TEST(CenterFormOnMonitor, HalvesRoundThenTruncate) {
  SimulatedDisplayService svc(SimulatedLayout::ForMonitors({{0, 0, 10, 10}}));
  FakeScreen screen(1, 1);
  clsMonitors list(svc, &screen);
  auto wide = Window(311, 7.5f);  // 10 - 311 = -301 halves to -150; 2.5 gives 2, halved 1
  list.CenterFormOnMonitor(wide);
  auto half = Window(6.5f, 9);  // 3.5 gives 4, halved 2
  list.CenterFormOnMonitor(half);
  EXPECT_EQ(wide.moves, (std::vector<Moved>{{-150, 1}}));
  EXPECT_EQ(half.moves, (std::vector<Moved>{{2, 0}}));
}

TEST(CenterFormOnMonitor, AnyValueThatReadsAsAHandleServes) {
  for (const ui::Value& hwnd : {ui::Value{std::string("7")}, ui::Value{7.4}}) {
    auto svc = TwoMonitors();
    FakeScreen screen(10, 10);
    clsMonitors list(svc, &screen);
    auto form = Window(301, 200);
    FakeForm reference;
    reference.hwnd = hwnd;
    list.CenterFormOnMonitor(form, ui::Value{&reference});
    ASSERT_EQ(form.moves.size(), 1u);
    EXPECT_EQ(form.moves[0].left, -471);
  }
}

struct UnusableReference {
  const char* what;
  ui::Value value;
};

TEST(CenterFormOnMonitor, AnUnusableReferenceFallsBackToThePrimaryScreen) {
  FakeForm without_hwnd;
  FakeForm huge_hwnd;
  huge_hwnd.hwnd = ui::Value{std::int64_t{1} << 40};
  FakeForm text_hwnd;
  text_hwnd.hwnd = ui::Value{std::string("window")};
  const UnusableReference cases[] = {
      {"a number", ui::Value{std::int64_t{7}}},
      {"nothing", ui::Value{}},
      {"a null object", ui::Value{static_cast<const ui::Object*>(nullptr)}},
      {"no hwnd property", ui::Value{&without_hwnd}},
      {"an hwnd beyond 32 bits", ui::Value{&huge_hwnd}},
      {"an hwnd that is no number", ui::Value{&text_hwnd}},
  };
  for (const auto& c : cases) {
    auto svc = TwoMonitors();
    FakeScreen screen(10, 10);
    clsMonitors list(svc, &screen);
    auto form = Window(300, 100);
    EXPECT_FALSE(list.CenterFormOnMonitor(form, c.value));
    EXPECT_EQ(form.moves, (std::vector<Moved>{kPrimaryScreenCentre})) << c.what;
  }
}

// A reference whose window cannot be read: 453 takes the handler's branch,
// which centres once and ends the call; any other number goes on with no
// monitor, to the same centring.
TEST(CenterFormOnMonitor, AReferenceThatFailsIsCentredOnThePrimaryScreenOnce) {
  for (std::int32_t failure : {kFunctionMissing, kInvalidCall}) {
    auto svc = TwoMonitors();
    FakeScreen screen(10, 10);
    clsMonitors list(svc, &screen);
    auto form = Window(300, 100);
    FakeForm reference;
    reference.hwnd = ui::Value{std::int64_t{7}};
    reference.property_failure = failure;
    EXPECT_FALSE(list.CenterFormOnMonitor(form, ui::Value{&reference}));
    EXPECT_EQ(form.moves, (std::vector<Moved>{kPrimaryScreenCentre})) << failure;
  }
}

TEST(CenterFormOnMonitor, AMonitorWithoutInformationLeavesTheWindow) {
  auto svc = TwoMonitors();
  svc.layout().monitors[0].has_info = false;
  FakeScreen screen(10, 10);
  clsMonitors list(svc, &screen);
  auto form = Window(300, 100);
  EXPECT_FALSE(list.CenterFormOnMonitor(form));
  EXPECT_TRUE(form.moves.empty());
}

// Without the lookup the handle is 0; without the monitor information the
// handler's 453 branch takes over. Both end on the primary screen.
TEST(CenterFormOnMonitor, NoMonitorOrNoInformationFallsBackToThePrimaryScreen) {
  for (Function missing : {Function::MonitorFromRect, Function::GetMonitorInfoA}) {
    auto svc = TwoMonitors();
    svc.missing = {missing};
    FakeScreen screen(10, 10);
    clsMonitors list(svc, &screen);
    auto form = Window(300, 100);
    EXPECT_FALSE(list.CenterFormOnMonitor(form));
    EXPECT_EQ(form.moves, (std::vector<Moved>{kPrimaryScreenCentre}));
  }
}

TEST(CenterFormOnMonitor, AFailingFallbackAfter453ReachesTheCaller) {
  auto svc = TwoMonitors();
  svc.missing = {Function::GetMonitorInfoA, Function::GetSystemMetrics};
  FakeScreen screen(10, 10);
  clsMonitors list(svc, &screen);
  auto form = Window(300, 100);
  EXPECT_EQ(AttemptNumbered([&] { list.CenterFormOnMonitor(form); }), kFunctionMissing);
  EXPECT_TRUE(form.moves.empty());
}

TEST(CenterFormOnMonitor, AMoveThatCannotBeDoneIsNotPassedOn) {
  auto svc = TwoMonitors();
  FakeScreen screen(10, 10);
  clsMonitors list(svc, &screen);
  auto form = Window(300, 100);
  form.move_failure = kInvalidCall;
  EXPECT_FALSE(list.CenterFormOnMonitor(form));               // on the monitor
  EXPECT_FALSE(list.CenterFormOnMonitor(form, ui::Value{}));  // on the primary screen
  svc.missing = {Function::GetMonitorInfoA};
  form.move_failure = kFunctionMissing;  // even 453 in the fallback's own Move
  EXPECT_EQ(AttemptNumbered([&] { list.CenterFormOnMonitor(form); }), kFunctionMissing);
}

TEST(CenterFormOnMonitor, AWorkAreaTooWideForItsStepCountsAsZero) {
  auto svc = TwoMonitors();
  svc.layout().monitors[0].work = {INT32_MIN, 0, INT32_MAX, 56};
  FakeScreen screen(10, 10);
  clsMonitors list(svc, &screen);
  auto form = Window(300, 200);
  list.CenterFormOnMonitor(form);
  // Work width stays 0: halve(nearest(-300)) plus the corner's twips.
  ASSERT_EQ(form.moves.size(), 1u);
  EXPECT_EQ(form.moves[0].left, static_cast<float>(-150 + 10.0 * INT32_MIN));
  EXPECT_EQ(form.moves[0].top, 180);
}

TEST(CenterFormOnMonitor, WithoutAScreenTheWindowStays) {
  auto svc = TwoMonitors();
  clsMonitors list(svc);
  auto form = Window(300, 200);
  EXPECT_FALSE(list.CenterFormOnMonitor(form));
  EXPECT_TRUE(form.moves.empty());
}

}  // namespace
}  // namespace vantrel

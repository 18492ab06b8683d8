// One fault at a time on a three-monitor desktop: a function missing (453), a
// query of the walk writing nothing, an addition or subtraction overflowing.
// For each, everything the model answers: the list, the desktop metrics, both
// lookups and where centring puts a window. Nothing else escapes.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>

#include "list_rows.h"
#include "simulated_display_service.h"
#include "toolkit_doubles.h"
#include "vantrel/base/attempt.h"

namespace vantrel {
namespace {

using namespace platform;
using testing_doubles::FakeForm;
using testing_doubles::FakeScreen;
using testing_doubles::Moved;

struct Desktop {
  std::int32_t left, top, width, height;
  friend bool operator==(const Desktop&, const Desktop&) = default;
};

struct Fault {
  const char* name;
  std::function<void(SimulatedDisplayService&)> inject;
  std::vector<Row> list;
  std::optional<Desktop> desktop;  // nullopt: the metrics fail with 453
  std::int32_t point = 0x10001;    // GetMonitorFromXYPoint(probe, PRIMARY)
  std::int32_t window = 0x10002;   // GetMonitorFromWindow(7, PRIMARY)
  Moved centred{3850, 2700};       // a 300 x 200 window, no reference
  std::pair<std::int32_t, std::int32_t> probe{10, 10};
};

// The primary has a 4-pixel bar along its bottom; window 7 lies on the left one.
SimulatedDisplayService ThreeMonitors() {
  auto layout =
      SimulatedLayout::ForMonitors({{0, 0, 800, 600}, {-640, 0, 0, 480}, {800, -100, 1824, 668}});
  layout.monitors[0].work = {0, 0, 800, 560};
  layout.windows[7] = {-50, 10, -30, 20};
  return SimulatedDisplayService(std::move(layout));
}

const Row kRight{"65539", "Generic Monitor 3", 800, -100, 1024, 768};
const Row kLeft{"65538", "Generic Monitor 2", -640, 0, 640, 480};
const Row kPrimary{"65537", "Generic Monitor 1 (Primary Monitor)", 0, 0, 800, 600};
const std::vector<Row> kList{kRight, kLeft, kPrimary};
constexpr Desktop kDesktop{-640, -100, 2464, 768};
// Centred on the whole primary screen, bar and all.
constexpr Moved kOnPrimaryScreen{3850, 2900};

void Missing(SimulatedDisplayService& s, Function f) { s.missing.insert(f); }

const Fault kFaults[] = {
    {"nothing", [](auto&) {}, kList, kDesktop},
    {"GetSystemMetrics missing",
     [](auto& s) { Missing(s, Function::GetSystemMetrics); },
     {{"0", "", 0, 0, 0, 0}},
     std::nullopt},
    {"EnumDisplayDevicesA missing",
     [](auto& s) { Missing(s, Function::EnumDisplayDevicesA); },
     {},
     kDesktop},
    // Every adapter then looks up (0, 0): the primary, and its key again.
    {"EnumDisplaySettingsA missing",
     [](auto& s) { Missing(s, Function::EnumDisplaySettingsA); },
     {kPrimary},
     kDesktop},
    // No handle: the information query for 0 writes nothing, and "0" repeats.
    {"MonitorFromPoint missing",
     [](auto& s) { Missing(s, Function::MonitorFromPoint); },
     {{"0", "Generic Monitor 1 (Primary Monitor)", 0, 0, 0, 0}},
     kDesktop},
    {"MonitorFromRect missing", [](auto& s) { Missing(s, Function::MonitorFromRect); }, kList,
     kDesktop, 0, 0x10002, kOnPrimaryScreen},
    {"MonitorFromWindow missing", [](auto& s) { Missing(s, Function::MonitorFromWindow); }, kList,
     kDesktop, 0x10001, 0},
    {"GetMonitorInfoA missing",
     [](auto& s) { Missing(s, Function::GetMonitorInfoA); },
     {{"65537", "Generic Monitor 1 (Primary Monitor)", 0, 0, 0, 0},
      {"65538", "Generic Monitor 2 (Primary Monitor)", 0, 0, 0, 0},
      {"65539", "Generic Monitor 3 (Primary Monitor)", 0, 0, 0, 0}},
     kDesktop,
     0x10001,
     0x10002,
     kOnPrimaryScreen},
    // The record keeps the adapter's own description.
    {"monitor query writes nothing",
     [](auto& s) { s.writes_nothing.insert(Query::AdapterMonitor); },
     {{"65539", "Simulated Adapter 3", 800, -100, 1024, 768},
      {"65538", "Simulated Adapter 2", -640, 0, 640, 480},
      {"65537", "Simulated Adapter 1 (Primary Monitor)", 0, 0, 800, 600}},
     kDesktop},
    {"settings query writes nothing",
     [](auto& s) { s.writes_nothing.insert(Query::Settings); },
     {kPrimary},
     kDesktop},
    // Bounds and work areas all zero: centring has no extent to use.
    {"information query writes nothing",
     [](auto& s) { s.writes_nothing.insert(Query::MonitorInfo); },
     {{"65537", "Generic Monitor 1 (Primary Monitor)", 0, 0, 0, 0},
      {"65538", "Generic Monitor 2 (Primary Monitor)", 0, 0, 0, 0},
      {"65539", "Generic Monitor 3 (Primary Monitor)", 0, 0, 0, 0}},
     kDesktop,
     0x10001,
     0x10002,
     Moved{-150, -100}},
    {"width overflows",
     [](auto& s) {
       s.layout().monitors[2].bounds = {INT32_MIN, -100, INT32_MAX, 668};
     },
     {{"65539", "Generic Monitor 3", INT32_MIN, -100, 0, 768}, kLeft, kPrimary},
     kDesktop},
    {"height overflows",
     [](auto& s) {
       s.layout().monitors[2].bounds = {800, INT32_MIN, 1824, INT32_MAX};
     },
     {{"65539", "Generic Monitor 3", 800, INT32_MIN, 1024, 0}, kLeft, kPrimary},
     kDesktop},
    {"pixel's right overflows",
     [](auto&) {},
     kList,
     kDesktop,
     0,
     0x10002,
     {3850, 2700},
     {INT32_MAX, 10}},
    {"pixel's bottom overflows",
     [](auto&) {},
     kList,
     kDesktop,
     0,
     0x10002,
     {3850, 2700},
     {10, INT32_MAX}},
    // Work width or height stays 0; the corner's twips are still added.
    {"work width overflows",
     [](auto& s) {
       s.layout().monitors[0].work = {INT32_MIN, 0, INT32_MAX, 560};
     },
     kList, kDesktop, 0x10001, 0x10002, Moved{-21474836480.0, 2700}},
    {"work height overflows",
     [](auto& s) {
       s.layout().monitors[0].work = {0, INT32_MIN, 800, INT32_MAX};
     },
     kList, kDesktop, 0x10001, 0x10002, Moved{3850, -100 + 10.0 * INT32_MIN}},
};

class FaultInjection : public testing::TestWithParam<Fault> {};

TEST_P(FaultInjection, AnswersAreExactlyWhatTheFailureLeaves) {
  const Fault& f = GetParam();
  auto svc = ThreeMonitors();
  f.inject(svc);
  FakeScreen screen(10, 10);
  std::optional<clsMonitors> list;
  ASSERT_EQ(AttemptNumbered([&] { list.emplace(svc, &screen); }), kNoFailure);
  EXPECT_EQ(Rows(*list), f.list);

  std::optional<Desktop> desktop;
  const auto number = AttemptNumbered([&] {
    desktop = Desktop{list->DesktopLeft(), list->DesktopTop(), list->DesktopWidth(),
                      list->DesktopHeight()};
  });
  EXPECT_EQ(desktop, f.desktop);
  EXPECT_EQ(number, f.desktop ? kNoFailure : kFunctionMissing);

  EXPECT_EQ(list->GetMonitorFromXYPoint(f.probe.first, f.probe.second, MONITOR_DEFAULTTOPRIMARY),
            f.point);
  EXPECT_EQ(list->GetMonitorFromWindow(7, MONITOR_DEFAULTTOPRIMARY), f.window);

  FakeForm form;
  form.width = 300;
  form.height = 200;
  bool result = true;
  EXPECT_EQ(AttemptNumbered([&] { result = list->CenterFormOnMonitor(form); }), kNoFailure);
  EXPECT_FALSE(result);
  EXPECT_EQ(form.moves, std::vector<Moved>{f.centred});
}

INSTANTIATE_TEST_SUITE_P(Model, FaultInjection, testing::ValuesIn(kFaults),
                         [](const testing::TestParamInfo<Fault>& param_info) {
                           std::string name;
                           for (const char* c = param_info.param.name; *c; ++c)
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           return name;
                         });

}  // namespace
}  // namespace vantrel

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "list_rows.h"
#include "simulated_display_service.h"
#include "vantrel/monitors/clsMonitors.h"

namespace vantrel {
namespace {

using namespace platform;

std::vector<std::int32_t> Lefts(clsMonitors& list) {
  std::vector<std::int32_t> out;
  for (const auto& r : *list.Monitors()) out.push_back(r->Left());
  return out;
}

std::vector<std::int32_t> AdapterQueryIndices(const SimulatedDisplayService& svc) {
  std::vector<std::int32_t> out;
  for (const auto& c : svc.CallsOf(Function::EnumDisplayDevicesA))
    if (!c.by_name) out.push_back(c.a);
  return out;
}

SimulatedDisplayService Desktop(const std::vector<Rect>& bounds) {
  return SimulatedDisplayService(SimulatedLayout::ForMonitors(bounds));
}

// Every property comes from its own field of the service's records: the
// monitor away from the origin has a different figure in every field.
TEST(Refresh, FillsEveryPropertyFromItsOwnField) {
  auto svc = Desktop({{0, 0, 1920, 1080}, {-1917, -37, -3, 1043}});
  auto& adapter = svc.layout().adapters[1];
  adapter.frequency = 75;
  adapter.monitors[0].description = "Panel (DisplayPort)";
  adapter.monitors[0].interface_path = "\\\\?\\DISPLAY#PNL0002#5&2a&0&UID4#{e6f07b5f}";
  svc.layout().monitors[1].work = {-1911, -29, -7, 1031};
  svc.layout().monitors[1].device = "\\\\.\\DISPLAY7";
  clsMonitors list(svc);

  ASSERT_EQ(list.Monitors()->Count(), 2);
  EXPECT_EQ(list.Monitors()->Key(1), "65538");
  const auto& r = *(*list.Monitors())(1);
  EXPECT_EQ(r.Handle(), 0x10002);
  EXPECT_EQ(r.Device(), "\\\\.\\DISPLAY7");
  EXPECT_EQ(r.Monitor(), "Panel ");
  EXPECT_EQ(r.MonitorGUID(), "\\\\?\\DISPLAY#PNL0002#5&2a&0&UID4#{e6f07b5f}");
  EXPECT_EQ(r.RefreshRate(), 75);
  EXPECT_EQ(r.Left(), -1917);
  EXPECT_EQ(r.Top(), -37);
  EXPECT_EQ(r.Right(), -3);
  EXPECT_EQ(r.Bottom(), 1043);
  EXPECT_EQ(r.WorkLeft(), -1911);
  EXPECT_EQ(r.WorkTop(), -29);
  EXPECT_EQ(r.WorkRight(), -7);
  EXPECT_EQ(r.WorkBottom(), 1031);
  EXPECT_EQ(r.Width(), 1914);
  EXPECT_EQ(r.Height(), 1080);

  // The adapter's name went to both queries, the first monitor only.
  const auto dd = svc.CallsOf(Function::EnumDisplayDevicesA);
  ASSERT_EQ(dd.size(), 5u);
  EXPECT_EQ(dd[3], (Call{Function::EnumDisplayDevicesA, 0, EDD_GET_DEVICE_INTERFACE_NAME,
                         "\\\\.\\DISPLAY2", true}));
  EXPECT_EQ(svc.CallsOf(Function::EnumDisplaySettingsA).at(1).name, "\\\\.\\DISPLAY2");
}

// The primary monitor is the one whose corner is the origin: a monitor on the
// origin's row or column is not.
TEST(Refresh, OnlyTheMonitorAtTheOriginIsLabelledPrimary) {
  auto svc = Desktop({{0, 600, 800, 1200}, {800, 0, 1600, 600}, {0, 0, 800, 600}});
  clsMonitors list(svc);
  EXPECT_EQ(Rows(list),
            (std::vector<Row>{{"65539", "Generic Monitor 3 (Primary Monitor)", 0, 0, 800, 600},
                              {"65538", "Generic Monitor 2", 800, 0, 800, 600},
                              {"65537", "Generic Monitor 1", 0, 600, 800, 600}}));
}

TEST(Refresh, NoMonitorsGivesOnePrimaryScreenRecord) {
  SimulatedDisplayService svc;
  svc.layout().metrics = {{SM_CMONITORS, 0}, {SM_CXSCREEN, 800}, {SM_CYSCREEN, 600}};
  clsMonitors list(svc);

  EXPECT_EQ(Rows(list), (std::vector<Row>{{"0", "", 0, 0, 800, 600}}));
  const auto& r = *(*list.Monitors())(1);
  EXPECT_EQ(r.Right(), 800);
  EXPECT_EQ(r.Bottom(), 600);
  EXPECT_EQ((std::vector{r.WorkLeft(), r.WorkTop(), r.WorkRight(), r.WorkBottom()}),
            (std::vector{0, 0, 800, 600}));
  EXPECT_EQ(r.Device() + r.MonitorGUID(), "");
  EXPECT_EQ(r.RefreshRate(), 0);
  // Only the three metrics were asked for, in this order.
  std::vector<std::int32_t> asked;
  for (const auto& c : svc.calls) {
    ASSERT_EQ(c.function, Function::GetSystemMetrics);
    asked.push_back(c.a);
  }
  EXPECT_EQ(asked, (std::vector{SM_CMONITORS, SM_CYSCREEN, SM_CXSCREEN}));
}

TEST(Refresh, MonitorsReportedButNoAdapterGivesAnEmptyList) {
  SimulatedDisplayService svc;
  svc.layout().metrics[SM_CMONITORS] = 1;
  clsMonitors list(svc);
  EXPECT_EQ(list.Monitors()->Count(), 0);
  EXPECT_EQ(AdapterQueryIndices(svc), (std::vector{0}));
}

TEST(Refresh, DetachedAdaptersUseUpAnIndex) {
  auto svc = Desktop({{0, 0, 800, 600}});
  auto detached = svc.layout().adapters[0];
  detached.name = "\\\\.\\DISPLAY9";
  detached.state_flags = 0x00000002;
  svc.layout().adapters.insert(svc.layout().adapters.begin(), detached);
  // A second monitor on the attached adapter is never looked at.
  svc.layout().adapters[1].monitors.push_back({"Second", "\\\\?\\second"});
  clsMonitors list(svc);

  EXPECT_EQ(list.Monitors()->Count(), 1);
  EXPECT_EQ(AdapterQueryIndices(svc), (std::vector{0, 1, 2}));
  for (const auto& c : svc.CallsOf(Function::EnumDisplayDevicesA)) {
    if (c.by_name) {
      EXPECT_EQ(c.a, 0);
    }
  }
}

TEST(Refresh, OrderFollowsTheInsertionRule) {
  auto row = Desktop({{800, 0, 1600, 600}, {0, 0, 800, 600}, {-640, 0, 0, 480}});
  clsMonitors in_row(row);
  EXPECT_EQ(Lefts(in_row), (std::vector{-640, 0, 800}));

  // A lies lower than B, B further right than A: each order gives the other.
  const Rect A{0, 0, 800, 600}, B{800, -50, 1600, 550};
  auto ab = Desktop({A, B});
  clsMonitors listed_ab(ab);
  EXPECT_EQ(Lefts(listed_ab), (std::vector{800, 0}));
  auto ba = Desktop({B, A});
  clsMonitors listed_ba(ba);
  EXPECT_EQ(Lefts(listed_ba), (std::vector{0, 800}));

  auto column = Desktop({{0, 600, 800, 1200}, {0, -600, 800, 0}, {0, 0, 800, 600}});
  clsMonitors in_column(column);
  std::vector<std::int32_t> tops;
  for (const auto& r : *in_column.Monitors()) tops.push_back(r->Top());
  EXPECT_EQ(tops, (std::vector{-600, 0, 600}));
}

TEST(Refresh, NegativeBoundsAndTheirSizes) {
  auto svc = Desktop({{-640, 0, 0, 480}, {0, 0, 1024, 768}});
  clsMonitors list(svc);
  EXPECT_EQ(Rows(list),
            (std::vector<Row>{{"65537", "Generic Monitor 1", -640, 0, 640, 480},
                              {"65538", "Generic Monitor 2 (Primary Monitor)", 0, 0, 1024, 768}}));
  EXPECT_EQ((*list.Monitors())(1)->Right(), 0);
}

TEST(Refresh, SizesThatOverflowStayZero) {
  auto svc = Desktop({{INT32_MIN, -10, INT32_MAX, 10}});
  clsMonitors list(svc);
  const auto& r = *(*list.Monitors())(1);
  EXPECT_EQ(r.Width(), 0);
  EXPECT_EQ(r.Height(), 20);
  EXPECT_EQ(r.Left(), INT32_MIN);
  EXPECT_EQ(r.Right(), INT32_MAX);
}

struct NameCase {
  std::string description;
  std::string away;       // the name of a monitor away from (0, 0)
  std::string at_origin;  // and of the monitor at (0, 0)
  friend void PrintTo(const NameCase& c, std::ostream* os) { *os << '"' << c.description << '"'; }
};

class MonitorName : public testing::TestWithParam<NameCase> {};

TEST_P(MonitorName, CutAtTheParenthesisThenMarkedOrDefaulted) {
  auto svc = Desktop({{0, 0, 800, 600}, {800, 0, 1600, 600}});
  for (auto& a : svc.layout().adapters) a.monitors[0].description = GetParam().description;
  clsMonitors list(svc);
  EXPECT_EQ((*list.Monitors())(1)->Monitor(), GetParam().at_origin);
  EXPECT_EQ((*list.Monitors())(2)->Monitor(), GetParam().away);
}

INSTANTIATE_TEST_SUITE_P(
    Refresh, MonitorName,
    testing::Values(NameCase{"Dell U2412M (Digital)", "Dell U2412M ",
                             "Dell U2412M  (Primary Monitor)"},
                    NameCase{"(Analog)", "Default Monitor", " (Primary Monitor)"},
                    NameCase{"", "Default Monitor", " (Primary Monitor)"},
                    NameCase{"Plain Panel", "Plain Panel", "Plain Panel (Primary Monitor)"},
                    NameCase{std::string(200, 'x'), std::string(128, 'x'),
                             std::string(128, 'x') + " (Primary Monitor)"}));

TEST(Refresh, InterfacePathStartsAtTheDoubleBackslash) {
  auto svc = Desktop({{0, 0, 800, 600}, {800, 0, 1600, 600}, {1600, 0, 2400, 600}});
  auto& adapters = svc.layout().adapters;
  adapters[0].monitors[0].interface_path = "\\\\?\\DISPLAY#ABC#1";
  // The upper half of the monitor's state flags stands before the path.
  adapters[1].monitors[0].interface_path = "MONITOR#XYZ";
  adapters[1].monitors[0].state_flags = 0x00410003;  // upper half 'A', NUL
  adapters[2].monitors[0].interface_path = "MONITOR#XYZ";
  clsMonitors list(svc);
  const auto c = list.Monitors();
  EXPECT_EQ((*c)(1)->MonitorGUID(), "\\\\?\\DISPLAY#ABC#1");
  EXPECT_EQ((*c)(2)->MonitorGUID(), "A");
  EXPECT_EQ((*c)(3)->MonitorGUID(), "");
}

TEST(Refresh, AMonitorQueryThatWritesNothingLeavesTheAdaptersTexts) {
  auto svc = Desktop({{0, 0, 800, 600}});
  auto& a = svc.layout().adapters[0];
  a.description = "Wine Adapter (x)";
  a.id = "PCI\\\\VEN_1234";
  a.monitors.clear();  // no monitor: the query answers 0 and writes nothing
  clsMonitors list(svc);
  const auto& r = *(*list.Monitors())(1);
  EXPECT_EQ(r.Monitor(), "Wine Adapter  (Primary Monitor)");
  EXPECT_EQ(r.MonitorGUID(), "\\\\VEN_1234");
  EXPECT_EQ(r.Device(), "\\\\.\\DISPLAY1");
}

TEST(Refresh, ASettingsQueryThatWritesNothingRepeatsThePreviousPosition) {
  auto svc = Desktop({{-800, 0, 0, 600}, {0, 0, 800, 600}, {800, 0, 1600, 600}});
  svc.layout().adapters[1].has_settings = false;
  clsMonitors list(svc);
  // The second adapter looks up the first one's monitor again and is dropped.
  EXPECT_EQ(Lefts(list), (std::vector{-800, 800}));

  auto first = Desktop({{0, 0, 800, 600}, {800, 0, 1600, 600}});
  first.layout().adapters[0].has_settings = false;
  first.layout().adapters[0].frequency = 60;
  clsMonitors from_origin(first);
  EXPECT_EQ(first.CallsOf(Function::MonitorFromPoint).at(0),
            (Call{Function::MonitorFromPoint, 0, 0, ""}));
  EXPECT_EQ((*from_origin.Monitors())(1)->RefreshRate(), 0);
}

TEST(Refresh, TwoAdaptersLeadingToOneMonitorKeepTheFirst) {
  auto svc = Desktop({{0, 0, 800, 600}, {800, 0, 1600, 600}});
  svc.layout().adapters[1].x = 10;  // inside the first monitor
  svc.layout().adapters[1].monitors[0].description = "Second";
  clsMonitors list(svc);
  EXPECT_EQ(Rows(list),
            (std::vector<Row>{{"65537", "Generic Monitor 1 (Primary Monitor)", 0, 0, 800, 600}}));
}

TEST(Refresh, AHeldCollectionOutlivesTheNextRefresh) {
  auto svc = Desktop({{0, 0, 800, 600}});
  clsMonitors list(svc);
  const auto held = list.Monitors();
  const auto record = (*held)(1);
  svc.layout() = SimulatedLayout::ForMonitors({{0, 0, 1024, 768}, {1024, 0, 2048, 768}});
  list.Refresh();

  EXPECT_NE(list.Monitors(), held);
  EXPECT_EQ(list.Monitors()->Count(), 2);
  EXPECT_NE((*list.Monitors())(1), record);
  EXPECT_EQ(held->Count(), 1);
  EXPECT_EQ(record->Width(), 800);
}

TEST(Refresh, MonitorsIsCreatedOnReadAndAssignable) {
  auto svc = Desktop({});  // monitors reported? none: the primary-screen record
  svc.layout().metrics[SM_CMONITORS] = 2;
  clsMonitors list(svc);
  const auto first = list.Monitors();
  EXPECT_EQ(first->Count(), 0);
  EXPECT_EQ(list.Monitors(), first);
  list.Monitors(nullptr);
  EXPECT_NE(list.Monitors(), nullptr);
  EXPECT_NE(list.Monitors(), first);
}

struct MissingCase {
  Function missing;
  std::vector<Row> rows;
  friend void PrintTo(const MissingCase& c, std::ostream* os) {
    *os << "function #" << static_cast<int>(c.missing);
  }
};

class MissingFunction : public testing::TestWithParam<MissingCase> {};

// Each missing call fails on every use; Refresh skips the step and goes on.
TEST_P(MissingFunction, RefreshSkipsTheStepAndNeverFails) {
  auto svc = Desktop({{0, 0, 800, 600}, {800, 0, 1600, 600}});
  svc.layout().metrics[SM_CXSCREEN] = 800;
  svc.layout().metrics[SM_CYSCREEN] = 600;
  svc.missing = {GetParam().missing};
  clsMonitors list(svc);
  EXPECT_EQ(Rows(list), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Refresh, MissingFunction,
    testing::Values(
        // The count cannot be asked: the condition fails, so the primary-screen
        // record is built, and without metrics it has no size.
        MissingCase{Function::GetSystemMetrics, {{"0", "", 0, 0, 0, 0}}},
        MissingCase{Function::EnumDisplayDevicesA, {}},
        // Every adapter looks up (0, 0): the first monitor, then a repeated key.
        MissingCase{Function::EnumDisplaySettingsA,
                    {{"65537", "Generic Monitor 1 (Primary Monitor)", 0, 0, 800, 600}}},
        // No handle: the info query of handle 0 writes nothing; one record "0".
        MissingCase{Function::MonitorFromPoint,
                    {{"0", "Generic Monitor 1 (Primary Monitor)", 0, 0, 0, 0}}},
        MissingCase{Function::GetMonitorInfoA,
                    {{"65537", "Generic Monitor 1 (Primary Monitor)", 0, 0, 0, 0},
                     {"65538", "Generic Monitor 2 (Primary Monitor)", 0, 0, 0, 0}}},
        // Not used by Refresh at all.
        MissingCase{Function::MonitorFromRect,
                    {{"65537", "Generic Monitor 1 (Primary Monitor)", 0, 0, 800, 600},
                     {"65538", "Generic Monitor 2", 800, 0, 800, 600}}}));

}  // namespace
}  // namespace vantrel

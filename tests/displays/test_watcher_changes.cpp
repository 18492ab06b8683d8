// Difference: which displays came, went and changed, and which facts of them.
#include <gtest/gtest.h>

#include <vector>

#include "test_watcher_layouts.h"
#include "vantrel/displays/watcher.h"

namespace vantrel {
namespace {

using testing_layouts::Layout;
using testing_layouts::Simulated;
using testing_layouts::Snapshot;
using testing_layouts::ThreeMonitors;

std::vector<int> Numbers(const std::vector<Display>& displays) {
  std::vector<int> numbers;
  for (const Display& d : displays) numbers.push_back(d.number);
  return numbers;
}

std::vector<int> Numbers(const std::vector<DisplayChange>& changes) {
  std::vector<int> numbers;
  for (const DisplayChange& c : changes) {
    EXPECT_EQ(c.before.key, c.after.key);
    numbers.push_back(c.after.number);
  }
  return numbers;
}

TEST(WatcherDifference, SameLayoutIsNoChangeAndCarriesTheNewSnapshot) {
  const Displays a = Snapshot(ThreeMonitors());
  const DisplayChanges c = Difference(a, Snapshot(ThreeMonitors()));
  EXPECT_TRUE(c.empty());
  EXPECT_EQ(c.now, a);
  EXPECT_TRUE(Difference(Displays(), Displays()).empty());
}

TEST(WatcherDifference, DisplaysAddedAndRemovedByKeyInTheirSnapshotsOrder) {
  Layout before = ThreeMonitors();
  Layout after = before;
  after.monitors.erase(after.monitors.begin() + 1);  // the left one goes
  after.monitors.push_back({4, {2304, 0, 3104, 600}});
  after.monitors.push_back({5, {3104, 0, 3904, 600}});

  const DisplayChanges c = Difference(Snapshot(before), Snapshot(after));
  EXPECT_EQ(Numbers(c.added), (std::vector<int>{4, 5}));
  EXPECT_EQ(Numbers(c.removed), (std::vector<int>{2}));
  EXPECT_TRUE(c.changed.empty());
  EXPECT_EQ(c.now, Snapshot(after));

  const DisplayChanges back = Difference(Snapshot(after), Snapshot(before));
  EXPECT_EQ(Numbers(back.added), (std::vector<int>{2}));
  EXPECT_EQ(Numbers(back.removed), (std::vector<int>{4, 5}));

  EXPECT_EQ(Numbers(Difference(Displays(), Snapshot(before)).added), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Numbers(Difference(Snapshot(before), Displays()).removed), (std::vector<int>{1, 2, 3}));
}

// The same monitors listed in another order changed nothing.
TEST(WatcherDifference, OrderAloneIsNoChange) {
  Layout shuffled = ThreeMonitors();
  std::swap(shuffled.monitors[0], shuffled.monitors[2]);
  EXPECT_TRUE(Difference(Snapshot(ThreeMonitors()), Snapshot(shuffled)).empty());
}

// What the watcher sees for the changes a user makes.
TEST(WatcherDifference, LayoutChangesGiveTheirFacts) {
  const Layout three = ThreeMonitors();

  Layout resized = three;  // the right one to 800 x 600
  resized.monitors[2].bounds.right = resized.monitors[2].bounds.left + 800;
  resized.monitors[2].bounds.bottom = 600;
  resized.monitors[2].mode = {800, 600, 32, 60};
  DisplayChanges c = Difference(Snapshot(three), Snapshot(resized));
  ASSERT_EQ(Numbers(c.changed), (std::vector<int>{3}));
  // Its millimetres follow its pixels, as under Wine: kOther too.
  EXPECT_EQ(c.changed[0].facts, ChangedFacts::kBounds | ChangedFacts::kWorkArea |
                                    ChangedFacts::kMode | ChangedFacts::kOther);
  EXPECT_EQ(c.changed[0].before, Snapshot(three)[2]);
  EXPECT_EQ(c.changed[0].after, Snapshot(resized)[2]);

  Layout moved = three;  // the left one up by 100: position only
  moved.monitors[1].bounds.top -= 100;
  moved.monitors[1].bounds.bottom -= 100;
  c = Difference(Snapshot(three), Snapshot(moved));
  ASSERT_EQ(Numbers(c.changed), (std::vector<int>{2}));
  EXPECT_EQ(c.changed[0].facts, ChangedFacts::kBounds | ChangedFacts::kWorkArea);

  Layout bar = three;  // a task bar on the primary
  bar.monitors[0].work_left = 100;
  c = Difference(Snapshot(three), Snapshot(bar));
  ASSERT_EQ(Numbers(c.changed), (std::vector<int>{1}));
  EXPECT_EQ(c.changed[0].facts, ChangedFacts::kWorkArea);

  Layout primary = three;  // the primary moves to the right one
  primary.monitors[0].primary = false;
  primary.monitors[2].primary = true;
  c = Difference(Snapshot(three), Snapshot(primary));
  EXPECT_EQ(Numbers(c.changed), (std::vector<int>{1, 3}));
  for (const DisplayChange& change : c.changed) EXPECT_EQ(change.facts, ChangedFacts::kPrimary);

  Layout scaled = three;
  scaled.monitors[1].dpi = 144;
  c = Difference(Snapshot(three), Snapshot(scaled));
  ASSERT_EQ(c.changed.size(), 1u);
  EXPECT_EQ(c.changed[0].facts, ChangedFacts::kScale);
}

// Every member of a display belongs to one group, so a change is never lost
// and facts is kNone only for equal displays.
TEST(WatcherDifference, EachMemberCountsInItsGroup) {
  struct Case {
    const char* member;
    void (*change)(Display&);
    ChangedFacts facts;
  };
  const Case cases[] = {
      {"bounds", [](Display& d) { d.bounds.left -= 1; }, ChangedFacts::kBounds},
      {"work_area", [](Display& d) { d.work_area.top += 1; }, ChangedFacts::kWorkArea},
      {"dpi", [](Display& d) { d.dpi = 120; }, ChangedFacts::kScale},
      {"current_mode", [](Display& d) { d.current_mode.frequency = 75; }, ChangedFacts::kMode},
      {"bits_per_pixel", [](Display& d) { d.bits_per_pixel = 16; }, ChangedFacts::kMode},
      {"refresh_rate",
       [](Display& d) {
         d.refresh_rate = {60000, 1001};
       },
       ChangedFacts::kMode},
      {"orientation", [](Display& d) { d.orientation = 90; }, ChangedFacts::kMode},
      {"primary", [](Display& d) { d.primary = !d.primary; }, ChangedFacts::kPrimary},
      {"handle", [](Display& d) { d.handle += 1; }, ChangedFacts::kOther},
      {"device_name", [](Display& d) { d.device_name = "\\\\.\\DISPLAY9"; }, ChangedFacts::kOther},
      {"number", [](Display& d) { d.number = 9; }, ChangedFacts::kOther},
      {"name", [](Display& d) { d.name = "Other"; }, ChangedFacts::kOther},
      {"physical_size", [](Display& d) { d.physical_size.reset(); }, ChangedFacts::kOther},
      {"connection", [](Display& d) { d.connection = Connection::kHdmi; }, ChangedFacts::kOther},
      {"modes", [](Display& d) { d.modes.pop_back(); }, ChangedFacts::kOther},
      {"clones",
       [](Display& d) {
         d.clones.push_back({"Display4", "k4"});
       },
       ChangedFacts::kOther},
  };
  const Displays before = Snapshot(ThreeMonitors());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    std::vector<Display> list(before.begin(), before.end());
    c.change(list[1]);
    ASSERT_NE(list[1], before[1]);
    const DisplayChanges d = Difference(before, Displays(list));
    ASSERT_EQ(d.changed.size(), 1u);
    EXPECT_EQ(d.changed[0].facts, c.facts);
    EXPECT_TRUE(d.added.empty() && d.removed.empty());
  }
}

// A change of a group's fact and of another member at once tells both.
TEST(WatcherDifference, FactsOfSeveralGroupsAddUp) {
  const Displays before = Snapshot(ThreeMonitors());
  for (void (*other)(Display&) :
       {+[](Display& d) { d.name = "Other"; }, +[](Display& d) { d.handle += 1; },
        +[](Display& d) { d.connection = Connection::kDvi; }}) {
    std::vector<Display> list(before.begin(), before.end());
    list[2].bounds.right += 10;
    list[2].dpi = 144;
    other(list[2]);
    const DisplayChanges d = Difference(before, Displays(list));
    ASSERT_EQ(d.changed.size(), 1u);
    EXPECT_EQ(d.changed[0].facts,
              ChangedFacts::kBounds | ChangedFacts::kScale | ChangedFacts::kOther);
  }
}

// Keys should be unique, but a platform may repeat one: the displays with
// it pair up in order rather than all counting as one.
TEST(WatcherDifference, RepeatedKeysPairInOrder) {
  platform::SimulatedDisplays twins = Simulated(ThreeMonitors());
  for (auto& d : twins.displays) d.target->device_path = d.device->device_id = "same";
  platform::SimulatedDisplays two = twins;
  two.displays.pop_back();
  two.displays[1].bounds.top = two.displays[1].work_area.top = 0;

  const DisplayChanges c = Difference(Snapshot(twins), Snapshot(two));
  EXPECT_TRUE(c.added.empty());
  ASSERT_EQ(c.removed.size(), 1u);
  EXPECT_EQ(c.removed[0], Snapshot(twins)[2]);
  ASSERT_EQ(c.changed.size(), 1u);
  EXPECT_EQ(c.changed[0].before, Snapshot(twins)[1]);
  EXPECT_EQ(c.changed[0].after, Snapshot(two)[1]);
}

}  // namespace
}  // namespace vantrel

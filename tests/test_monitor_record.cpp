#include <gtest/gtest.h>

#include "vantrel/monitors/clsMonitor.h"

namespace vantrel {
namespace {

TEST(MonitorRecord, StartsEmpty) {
  const clsMonitor r;
  for (auto v : {r.Handle(), r.Left(), r.Right(), r.Top(), r.Bottom(), r.WorkLeft(), r.WorkRight(),
                 r.WorkTop(), r.WorkBottom(), r.Width(), r.Height(), r.RefreshRate()}) {
    EXPECT_EQ(v, 0);
  }
  EXPECT_EQ(r.Device(), "");
  EXPECT_EQ(r.Monitor(), "");
  EXPECT_EQ(r.MonitorGUID(), "");
}

TEST(MonitorRecord, EveryPropertyIsStoredOnItsOwn) {
  clsMonitor r;
  r.Left(100);
  r.Right(50);
  r.Top(-3);
  r.Bottom(-4);
  r.Height(-5);
  EXPECT_EQ(r.Width(), 0);  // not derived from the bounds
  EXPECT_EQ(r.WorkLeft(), 0);
  r.WorkLeft(7);
  r.WorkRight(8);
  r.WorkTop(9);
  r.WorkBottom(10);
  EXPECT_EQ(r.Left(), 100);
  EXPECT_EQ(r.Right(), 50);
  EXPECT_EQ(r.Top(), -3);
  EXPECT_EQ(r.Bottom(), -4);
  EXPECT_EQ(r.Height(), -5);
  EXPECT_EQ(r.WorkLeft() + r.WorkRight() + r.WorkTop() + r.WorkBottom(), 34);
}

TEST(MonitorRecord, TextsAreCopiedInAndOut) {
  clsMonitor r;
  std::string mine = "Panel";
  r.Monitor(mine);
  mine[0] = 'X';
  std::string out = r.Monitor();
  out[0] = 'Y';
  EXPECT_EQ(r.Monitor(), "Panel");
  r.Monitor("");
  EXPECT_EQ(r.Monitor(), "");
  r.MonitorGUID(std::string("a\0b", 3));  // stored whole, NUL included
  EXPECT_EQ(r.MonitorGUID().size(), 3u);
}

TEST(MonitorRecord, TextsOfAnyLengthAreStoredWhole) {
  clsMonitor r;
  const std::string fits(RecordText::kInline, 'a');
  const std::string longer = std::string(RecordText::kInline, 'b') + "c";
  r.MonitorGUID(longer);
  EXPECT_EQ(r.MonitorGUID(), longer);
  r.MonitorGUID(fits);  // back from the heap into the record
  EXPECT_EQ(r.MonitorGUID(), fits);
  r.MonitorGUID(longer + longer);
  EXPECT_EQ(r.MonitorGUID(), longer + longer);

  clsMonitor copy = r;  // a copy holds its own texts
  r.MonitorGUID("x");
  EXPECT_EQ(copy.MonitorGUID(), longer + longer);
  EXPECT_EQ(r.MonitorGUID(), "x");
}

}  // namespace
}  // namespace vantrel

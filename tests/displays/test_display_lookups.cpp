// Lookups on a snapshot: the display at a point and of a rectangle, each
// fallback, edges one past the last pixel, ties, and coordinates at the
// 32-bit extremes where distances and areas outgrow 64 signed bits.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "vantrel/displays/displays.h"

namespace vantrel {
namespace {

Displays Of(const std::vector<std::pair<Rect, bool>>& rects) {
  std::vector<Display> displays;
  for (const auto& [bounds, primary] : rects) {
    Display d;
    d.bounds = bounds;
    d.primary = primary;
    d.key = std::to_string(displays.size());
    displays.push_back(d);
  }
  return Displays(std::move(displays));
}

// The three-monitor layout of the Wine tests: the primary, one left of it and
// 100 pixels lower, one right of it.
const Displays kThree =
    Of({{{0, 0, 1280, 1024}, true}, {{-1024, 100, 0, 868}, false}, {{1280, 0, 2304, 768}, false}});
const Display* const kPrimary = &kThree[0];
const Display* const kLeft = &kThree[1];
const Display* const kRight = &kThree[2];

TEST(AtPoint, EdgesBelongToTheDisplayTheyStart) {
  EXPECT_EQ(kThree.AtPoint({0, 0}, Fallback::kNone), kPrimary);
  EXPECT_EQ(kThree.AtPoint({1279, 1023}, Fallback::kNone), kPrimary);
  EXPECT_EQ(kThree.AtPoint({1280, 0}, Fallback::kNone), kRight);
  EXPECT_EQ(kThree.AtPoint({-1, 100}, Fallback::kNone), kLeft);
  EXPECT_EQ(kThree.AtPoint({-1024, 867}, Fallback::kNone), kLeft);
  EXPECT_EQ(kThree.AtPoint({-1024, 868}, Fallback::kNone), nullptr);
  EXPECT_EQ(kThree.AtPoint({2304, 0}, Fallback::kNone), nullptr);
  EXPECT_EQ(kThree.AtPoint({1280, 768}, Fallback::kNone), nullptr);
}

TEST(AtPoint, OutsideEveryDisplayTheFallbackAnswers) {
  // Below the right display: 32 pixels from it, 720 from the primary.
  EXPECT_EQ(kThree.AtPoint({2000, 800}, Fallback::kNearest), kRight);
  EXPECT_EQ(kThree.AtPoint({2000, 800}, Fallback::kPrimary), kPrimary);
  EXPECT_EQ(kThree.AtPoint({2000, 800}, Fallback::kNone), nullptr);
  // Above the left display, in the gap beside the primary.
  EXPECT_EQ(kThree.AtPoint({-500, 50}, Fallback::kNearest), kLeft);
  // Diagonally off a corner: distance counts both axes.
  EXPECT_EQ(kThree.AtPoint({-30, 1100}, Fallback::kNearest), kPrimary);
  // Touching both the primary and the left display: the first listed takes
  // the tie.
  EXPECT_EQ(kThree.AtPoint({-1, 99}, Fallback::kNearest), kPrimary);
}

TEST(AtPoint, NearestAtThe32BitExtremes) {
  // Squared distances here reach 2^63 and beyond: in signed 64 bits they
  // would wrap and make the farthest display look nearest.
  EXPECT_EQ(kThree.AtPoint({INT32_MIN, INT32_MIN}, Fallback::kNearest), kLeft);
  EXPECT_EQ(kThree.AtPoint({INT32_MAX, INT32_MIN}, Fallback::kNearest), kRight);
  EXPECT_EQ(kThree.AtPoint({INT32_MIN, INT32_MAX}, Fallback::kNearest), kLeft);
  EXPECT_EQ(kThree.AtPoint({INT32_MAX, INT32_MAX}, Fallback::kNearest), kRight);

  // Here the far display's squared distance is just over 2^64 (3037000500
  // pixels on each axis): in unsigned 64 bits it would wrap to 290948384,
  // less than the near display's 10^10.
  const Displays far_apart = Of({{{-889516864, -889516864, -889516854, -889516854}, true},
                                 {{2147383636, 2147483600, 2147383646, INT32_MAX}, false}});
  EXPECT_EQ(far_apart.AtPoint({INT32_MAX - 1, INT32_MAX - 1}, Fallback::kNearest), &far_apart[1]);

  // Displays at the very corners of the coordinate space.
  const Displays corners = Of({{{INT32_MIN, INT32_MIN, INT32_MIN + 1, INT32_MIN + 1}, true},
                               {{INT32_MAX - 1, INT32_MAX - 1, INT32_MAX, INT32_MAX}, false}});
  EXPECT_EQ(corners.AtPoint({INT32_MAX, INT32_MAX}, Fallback::kNearest), &corners[1]);
  EXPECT_EQ(corners.AtPoint({INT32_MIN, INT32_MIN}, Fallback::kNone), &corners[0]);
  EXPECT_EQ(corners.AtPoint({INT32_MAX - 1, INT32_MAX - 1}, Fallback::kNone), &corners[1]);
  EXPECT_EQ(corners.AtPoint({0, 0}, Fallback::kNearest), &corners[1]);
}

TEST(OfRect, LargestOverlapWinsAndATieGoesToTheFirst) {
  // 80 x 100 on the primary, 120 x 100 on the right display.
  EXPECT_EQ(kThree.OfRect({1200, 0, 1400, 100}, Fallback::kNone), kRight);
  // 100 x 100 on each.
  EXPECT_EQ(kThree.OfRect({1180, 0, 1380, 100}, Fallback::kNone), kPrimary);
  // Across all three: the primary holds the most.
  EXPECT_EQ(kThree.OfRect({-1000, 0, 2300, 1000}, Fallback::kNone), kPrimary);
  // Sharing an edge is no overlap.
  EXPECT_EQ(kThree.OfRect({2304, 0, 2400, 100}, Fallback::kNone), nullptr);
  EXPECT_EQ(kThree.OfRect({2304, 0, 2400, 100}, Fallback::kNearest), kRight);
  EXPECT_EQ(kThree.OfRect({-500, -300, -400, -200}, Fallback::kNearest), kLeft);
  EXPECT_EQ(kThree.OfRect({-500, -300, -400, -200}, Fallback::kPrimary), kPrimary);
}

TEST(OfRect, AnEmptyRectangleIsThePointAtItsCorner) {
  EXPECT_EQ(kThree.OfRect({-10, 200, -10, 200}, Fallback::kNone), kLeft);
  EXPECT_EQ(kThree.OfRect({1500, 10, 1500, 900}, Fallback::kNone), kRight);  // no width
  // Inverted: no area either, so its first corner decides.
  EXPECT_EQ(kThree.OfRect({1500, 10, 0, 0}, Fallback::kNone), kRight);
  EXPECT_EQ(kThree.OfRect({-2000, 10, -2000, 10}, Fallback::kNone), nullptr);
  EXPECT_EQ(kThree.OfRect({-2000, 10, -2000, 10}, Fallback::kNearest), kLeft);
  EXPECT_EQ(kThree.OfRect({INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, Fallback::kNearest),
            kRight);
}

TEST(OfRect, AreasAndDistancesAtThe32BitExtremes) {
  // A rectangle over the whole coordinate space holds all of each display.
  EXPECT_EQ(kThree.OfRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, Fallback::kNone), kPrimary);
  // A display as large as the space: its area, (2^32 - 1)^2, is past the
  // signed 64-bit range, yet it must beat a small display.
  const Displays huge =
      Of({{{0, 0, 100, 100}, true}, {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, false}});
  EXPECT_EQ(huge.OfRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, Fallback::kNone), &huge[1]);
  // Far outside, nearest still by exact distance.
  EXPECT_EQ(
      kThree.OfRect({INT32_MIN, INT32_MIN, INT32_MIN + 10, INT32_MIN + 10}, Fallback::kNearest),
      kLeft);
  EXPECT_EQ(
      kThree.OfRect({INT32_MAX - 10, INT32_MIN, INT32_MAX, INT32_MIN + 10}, Fallback::kNearest),
      kRight);
}

TEST(Lookups, PrimaryFallbackFindsThePrimaryWhereverItIsListed) {
  const Displays displays = Of({{{-1920, 0, 0, 1080}, false}, {{0, 0, 1920, 1080}, true}});
  EXPECT_EQ(displays.Primary(), &displays[1]);
  EXPECT_EQ(displays.AtPoint({-5000, 0}, Fallback::kPrimary), &displays[1]);
  EXPECT_EQ(displays.AtPoint({-5000, 0}, Fallback::kNearest), &displays[0]);
  EXPECT_EQ(displays.OfRect({5000, 0, 5100, 100}, Fallback::kPrimary), &displays[1]);
  EXPECT_EQ(displays.FindByKey("0"), &displays[0]);
  EXPECT_EQ(displays.FindByKey("2"), nullptr);
}

}  // namespace
}  // namespace vantrel

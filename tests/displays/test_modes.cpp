// ClosestMode: each rule in its place against the next, and what 0, a
// negative and an unknown current mode mean.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <vector>

#include "vantrel/displays/modes.h"

namespace vantrel {
namespace {

Display With(DisplayMode current, std::vector<DisplayMode> modes) {
  Display d;
  d.current_mode = current;
  d.modes = std::move(modes);
  return d;
}

TEST(ClosestMode, EachRuleBeforeTheNext) {
  const Display desk = With({1920, 1080, 32, 60}, {{640, 480, 32, 60},
                                                   {1280, 720, 32, 60},
                                                   {1280, 1024, 32, 60},
                                                   {1600, 1200, 32, 60},
                                                   {1680, 1050, 32, 50},
                                                   {1920, 1080, 16, 60},
                                                   {1920, 1080, 32, 50},
                                                   {1920, 1080, 32, 60},
                                                   {1920, 1080, 32, 144},
                                                   {1920, 1200, 32, 60},
                                                   {2560, 1080, 32, 60},
                                                   {3840, 2160, 32, 60}});
  const Display short_of = With({}, {{1280, 1024, 32, 75}, {1600, 900, 32, 60}});
  const Display square = With({}, {{150, 300, 32, 75}, {300, 200, 32, 60}});
  const Display alike = With({}, {{100, 200, 32, 60}, {200, 100, 32, 60}});
  const Display unknown = With({}, {{800, 600, 32, 60}, {800, 600, 32, 75}, {1024, 768, 32, 60}});
  const Display lean = With({1920, 1080, 32, 60}, {});
  const Display unlisted = With({1920, 1080, 32, 60}, {{1280, 720, 32, 60}});
  const Display no_size = With({0, 768, 32, 60}, {{0, 0, 32, 60}, {-800, 600, 32, 60}});
  const struct {
    const char* what;
    const Display& display;
    DisplayMode wanted;
    std::optional<DisplayMode> chosen;
  } rows[] = {
      {"all 0: the current mode", desk, {}, DisplayMode{1920, 1080, 32, 60}},
      {"below 0 as 0", desk, {-1, INT32_MIN, -8, -60}, DisplayMode{1920, 1080, 32, 60}},
      {"1 before 3: 1280x720 is 16:10's nearer but short",
       desk,
       {1280, 800, 0, 0},
       DisplayMode{1280, 1024, 32, 60}},
      {"2: not a larger of the same aspect",
       desk,
       {1280, 720, 0, 0},
       DisplayMode{1280, 720, 32, 60}},
      {"3 before 4, between sizes neither smaller",
       desk,
       {1600, 1000, 0, 0},
       DisplayMode{1680, 1050, 32, 50}},
      {"4: the nearer refresh", desk, {1920, 1080, 32, 53}, DisplayMode{1920, 1080, 32, 50}},
      {"4: as near, the higher", desk, {1920, 1080, 32, 102}, DisplayMode{1920, 1080, 32, 144}},
      {"4 before 5", desk, {1920, 1080, 16, 144}, DisplayMode{1920, 1080, 32, 144}},
      {"5: the asked bits", desk, {1920, 1080, 16, 60}, DisplayMode{1920, 1080, 16, 60}},
      {"5: as near, the more", desk, {1920, 1080, 24, 60}, DisplayMode{1920, 1080, 32, 60}},
      {"none fits: the one covering most",
       desk,
       {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
       DisplayMode{3840, 2160, 32, 60}},
      {"none fits or covers more: 3 before 4",
       short_of,
       {1920, 1200, 0, 0},
       DisplayMode{1600, 900, 32, 60}},
      {"3: by the ratio of ratios, 3:2 nearer 1:1 than 1:2",
       square,
       {100, 100, 0, 0},
       DisplayMode{300, 200, 32, 60}},
      {"6: alike by every rule, the first", alike, {100, 100, 0, 0}, DisplayMode{100, 200, 32, 60}},
      {"current unknown: any size, the highest refresh",
       unknown,
       {},
       DisplayMode{800, 600, 32, 75}},
      {"no mode list: the current mode",
       lean,
       {3840, 2160, 32, 144},
       DisplayMode{1920, 1080, 32, 60}},
      {"the current mode is offered, listed or not",
       unlisted,
       {1920, 1080, 0, 0},
       DisplayMode{1920, 1080, 32, 60}},
      {"a mode of no size is never chosen", no_size, {}, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(ClosestMode(row.display, row.wanted), row.chosen);
  }
}

}  // namespace
}  // namespace vantrel

// What vantrel-list prints for people for a given set of displays: the
// options and the table's columns. Its JSON is the library's
// (tests/displays/test_json.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listing.h"

namespace listing {
namespace {

using vantrel::Display;
using vantrel::Displays;

Display Panel(std::string name, vantrel::Rect bounds) {
  Display d;
  d.handle = 0x10001;
  d.device_name = "\\\\.\\DISPLAY1";
  d.number = 1;
  d.name = std::move(name);
  d.key = "\\\\?\\DISPLAY#PNL0001#{e6f07b5f}";
  d.bounds = bounds;
  d.work_area = {bounds.left, bounds.top, bounds.right, bounds.bottom - 40};
  d.dpi = 144;
  d.refresh_rate = {60000, 1001};
  d.connection = vantrel::Connection::kDisplayPort;
  d.current_mode = {1920, 1080, 32, 60};
  d.modes = {{800, 600, 32, 60}, {1920, 1080, 32, 60}};
  return d;
}

TEST(Options, OneModeAtMostAndNothingUnknown) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(ParseOptions(V{}), Mode::kTable);
  EXPECT_EQ(ParseOptions(V{"--json"}), Mode::kJson);
  EXPECT_EQ(ParseOptions(V{"--watch", "--watch"}), Mode::kWatch);
  EXPECT_EQ(ParseOptions(V{"-h"}), Mode::kHelp);
  EXPECT_EQ(ParseOptions(V{"--json", "--watch"}), std::nullopt);
  EXPECT_EQ(ParseOptions(V{"--jsonx"}), std::nullopt);
  EXPECT_EQ(ParseOptions(V{"json"}), std::nullopt);
  EXPECT_EQ(ParseOptions(V{"--json", ""}), std::nullopt);
}

TEST(Table, ColumnsLineUpCountingCharactersNotBytes) {
  Display wide = Panel(
      "\xc3\x89"
      "cran",
      {0, 0, 1920, 1080});
  wide.primary = true;
  Display other = Panel("Plain", {-1280, 0, 0, 1024});
  other.number = 2;
  other.dpi = 96;
  other.refresh_rate = {75, 1};
  const std::string table = Table(Displays({wide, other}));
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < table.size();) {
    const auto end = table.find('\n', at);
    lines.push_back(table.substr(at, end - at));
    at = end + 1;
  }
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("#  Name   Primary  Bounds", 0), 0u) << table;
  EXPECT_EQ(lines[1].rfind("1  \xc3\x89"
                           "cran  yes      1920x1080 at (0,0)",
                           0),
            0u)
      << table;
  EXPECT_EQ(lines[2].rfind("2  Plain  no       1280x1024 at (-1280,0)", 0), 0u) << table;
  EXPECT_NE(lines[1].find("150%   59.94 Hz  0\xc2\xb0"), std::string::npos) << table;
  EXPECT_NE(lines[2].find("100%   75 Hz     0\xc2\xb0"), std::string::npos) << table;
}

}  // namespace
}  // namespace listing

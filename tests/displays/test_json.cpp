// The JSON of schema "vantrel-list" for a given set of displays and a given
// change: escaping, every fact with its unit, and the watch lines' shape.
#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <string_view>
#include <utility>

#include "vantrel/displays/json.h"
#include "vantrel/displays/json_writer.h"

namespace vantrel::json {
namespace {

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

std::size_t Count(const std::string& text, std::string_view what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(Json, TextsAreEscapedAndAlwaysValidUtf8) {
  Display d = Panel(
      "Quote \" back\\slash \x01 \xc3\x89"
      "cran \xe2\x98\x83",
      {0, 0, 1920, 1080});
  static constexpr char kBad[] = "bad \xff\xc3 end \xed\xa0\x80 \xf4\x90\x80\x80 nul\0!";
  d.key = std::string(kBad, sizeof kBad - 1);
  const std::string json = Document(Displays({d}));
  EXPECT_NE(json.find(R"("name": "Quote \" back\\slash \u0001 )"
                      "\xc3\x89"
                      "cran \xe2\x98\x83\""),
            std::string::npos)
      << json;
  // Each bad byte is one U+FFFD: a lone byte, a cut sequence, a surrogate,
  // past U+10FFFF; a NUL is escaped.
  EXPECT_NE(json.find("\"key\": \"bad \xef\xbf\xbd\xef\xbf\xbd end "
                      "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"
                      "\xef\xbf\xbd nul\\u0000!\""),
            std::string::npos)
      << json;
}

TEST(Json, EveryFactWithItsUnitAndAbsenceAsNull) {
  Display d = Panel("Panel", {-1920, -40, 0, 1040});
  const std::string json = Document(Displays({d}));
  EXPECT_EQ(json.rfind("{\n  \"schema\": \"vantrel-list\",\n  \"version\": 1,\n", 0), 0u) << json;
  EXPECT_EQ(json.back(), '\n');
  for (const char* member :
       {"\"number\": 1", "\"bounds\": {", "\"work_area\": {",
        "\"device_name\": \"\\\\\\\\.\\\\DISPLAY1\"", "\"primary\": false", "\"left\": -1920",
        "\"top\": -40", "\"width\": 1920", "\"height\": 1080", "\"bottom\": 1000", "\"dpi\": 144",
        "\"scale\": 1.5", "\"physical_size_mm\": null", "\"orientation\": 0",
        "\"numerator\": 60000", "\"denominator\": 1001", "\"hertz\": 59.94005994005994",
        "\"connection\": \"displayport\"", "\"frequency\": 60"}) {
    EXPECT_NE(json.find(member), std::string::npos) << member << "\n" << json;
  }
  EXPECT_EQ(Count(json, "\"bits_per_pixel\": 32"), 3u);  // the current mode and the two listed
  d.physical_size = vantrel::PhysicalSize{527, 296};
  EXPECT_NE(Document(Displays({d})).find("\"physical_size_mm\": {\n        \"width\": 527"),
            std::string::npos);
  EXPECT_NE(Document(Displays()).find("\"displays\": []"), std::string::npos);
  // The clones came to version 1 after every other member, and close each
  // display.
  EXPECT_TRUE(json.ends_with("\n      ],\n      \"clones\": []\n    }\n  ]\n}\n")) << json;
  d.clones = {{"Display2", "k2"}};
  EXPECT_TRUE(Document(Displays({d}))
                  .ends_with("\"clones\": [\n        {\n          \"name\": \"Display2\",\n"
                             "          \"key\": \"k2\"\n        }\n      ]\n    }\n  ]\n}\n"));
}

TEST(Json, WatchLinesAreOneLineEach) {
  const Display before = Panel("Panel", {0, 0, 1920, 1080});
  Display after = before;
  after.current_mode = {1280, 720, 32, 60};
  after.bounds = {0, 0, 1280, 720};
  vantrel::DisplayChanges changes;
  changes.changed.push_back(
      {before, after, vantrel::ChangedFacts::kBounds | vantrel::ChangedFacts::kMode});
  changes.removed.push_back(Panel("Gone", {1920, 0, 2560, 480}));
  changes.now = Displays({after});
  const std::string line = ChangeLine(changes);
  EXPECT_EQ(Count(line, "\n"), 1u);
  EXPECT_EQ(line.back(), '\n');
  EXPECT_EQ(line.rfind(R"({"schema":"vantrel-list","version":1,"event":"change","added":[],)", 0),
            0u)
      << line;
  EXPECT_NE(line.find(R"("facts":["bounds","mode"])"), std::string::npos);
  // The displays as they are now close the line.
  EXPECT_NE(line.find(R"("displays":[{"number":1,)"), std::string::npos) << line;
  EXPECT_EQ(line.rfind(R"(]}]})"), line.size() - 5) << line;
  // Each mode whole, in order.
  EXPECT_NE(line.find(R"("modes":[{"width":800,"height":600,"bits_per_pixel":32,"frequency":60},)"
                      R"({"width":1920,"height":1080,"bits_per_pixel":32,"frequency":60}])"),
            std::string::npos)
      << line;
  EXPECT_NE(line.find(R"("name":"Gone")"), std::string::npos);
  const std::string first = SnapshotLine(Displays({before}));
  EXPECT_EQ(Count(first, "\n"), 1u);
  EXPECT_NE(first.find(R"("event":"displays","displays":[{"number":1,)"), std::string::npos);
}

// Reals as std::to_chars writes them (the fuzz target of the display layer
// compares the two on any double): fewest digits, fixed or scientific
// whichever is shorter, an integer with all its digits.
TEST(Json, RealsAreTheShortestTextThatReadsBack) {
  const std::pair<double, std::string_view> table[] = {
      {1.25, "1.25"},
      {0.1, "0.1"},
      {100, "100"},
      {60000.0 / 1001, "59.94005994005994"},
      {1e22, "1e+22"},
      {1e-7, "1e-07"},
      {0.001, "0.001"},
      {123456789012345678.0, "123456789012345680"},
      {1e21 + 131072, "1000000000000000131072"},
      {5e-324, "5e-324"},
      {1.7976931348623157e308, "1.7976931348623157e+308"},
      {-0.0, "-0"},
      {-2.5, "-2.5"},
  };
  for (const auto& [value, text] : table) {
    EXPECT_EQ(Writer(false).Real(value).Take(), text) << text;
  }
  // Every scale and refresh rate a system gives: DPIs over 96, and rates as
  // numerator over denominator.
  const auto same = [](double v) {
    char expected[32];
    const char* end = std::to_chars(expected, expected + sizeof expected, v).ptr;
    return Writer(false).Real(v).Take() == std::string_view(expected, end);
  };
  int differ = 0;
  for (int dpi = 1; dpi <= 1000; ++dpi) differ += !same(dpi / 96.0);
  for (int n = 1; n <= 3000; n += 7) {
    for (int d = 1; d <= 1001; d += 10) differ += !same(static_cast<double>(n) / d);
  }
  EXPECT_EQ(differ, 0);
}

}  // namespace
}  // namespace vantrel::json

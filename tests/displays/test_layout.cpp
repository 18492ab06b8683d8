// The layout over the simulated system: which adapters it lists and what of
// each; its JSON read back as written; and each way a text can be wrong,
// named by its line and field.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "simulated_system.h"
#include "vantrel/displays/layout.h"

namespace vantrel {
namespace {

using platform::SimulatedDisplays;
using platform::SimulatedSystem;

TEST(Layout, EveryAdapterWithAMonitorInOrderAttachedOrNot) {
  auto l = SimulatedDisplays::FromRects(
      {{0, 0, 1920, 1080}, {0, 0, 1, 1}, {-1280, 0, 0, 1024}, {0, 0, 1, 1}, {0, 0, 1, 1}});
  l.displays[0].target->device_path = "path of DisplayConfig";  // the key before the device's
  l.displays[1].attached = false;
  l.displays[1].registry = platform::SettingsFacts{{1920, -24}, {1280, 1024, 16, 75, 1}};
  l.displays[2].target->rotation = platform::rotation::kRotate180;
  l.displays[2].current_mode->orientation = 0;  // DisplayConfig's rotation goes first
  l.displays[3].attached = false;               // no settings kept: zeros
  l.displays[3].device->device_id = "";         // no key: the adapter's name
  l.displays[4].attached = false;
  l.displays[4].device.reset();  // nothing connected: not listed
  SimulatedSystem system(l);
  const std::string id1 = l.displays[1].device->device_id, id2 = l.displays[2].device->device_id;
  const Layout expected{
      {{"path of DisplayConfig", "\\\\.\\DISPLAY1", true, true, {0, 0}, {1920, 1080, 32, 60}, 0},
       {id1, "\\\\.\\DISPLAY2", false, false, {1920, -24}, {1280, 1024, 16, 75}, 90},
       {id2, "\\\\.\\DISPLAY3", true, false, {-1280, 0}, {1280, 1024, 32, 60}, 180},
       {"\\\\.\\DISPLAY4", "\\\\.\\DISPLAY4", false, false, {}, {}, 0}}};
  EXPECT_EQ(TakeLayout(system), expected);

  // A system that lists no adapters has nothing to lay out.
  SimulatedSystem none;
  EXPECT_EQ(TakeLayout(none), Layout{});
}

Layout TwoDisplays() {
  return {{{"A", "\\\\.\\DISPLAY1", true, true, {0, 0}, {1920, 1080, 32, 60}, 0},
           {"B", "\\\\.\\DISPLAY2", false, false, {-1280, -24}, {1280, 1024, 16, 75}, 90}}};
}

TEST(Layout, JsonReadsBackAsWritten) {
  Layout layout = TwoDisplays();
  const std::string two = ToJson(layout);
  EXPECT_TRUE(
      two.starts_with("{\n  \"schema\": \"vantrel-layout\",\n  \"version\": 1,\n  "
                      "\"displays\": [\n    {\n      \"key\": \"A\",\n"))
      << two;
  static constexpr char kOdd[] = "\" \\ / \n \x01 \0 \xc3\xa9 \xf0\x9f\x98\x80";
  layout.displays[0].key = std::string(kOdd, sizeof kOdd - 1);
  layout.displays[1].position = {INT32_MIN, INT32_MAX};
  layout.displays[1].mode = {INT32_MAX, 0, INT32_MAX, 0};
  for (const Layout& each : {layout, Layout{}}) {
    const Result<Layout> read = LayoutFromJson(ToJson(each));
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(*read, each);
  }
  // As Windows' editors save it: a byte order mark, CR LF, escapes of their own.
  std::string windows = "\xef\xbb\xbf";
  for (const char c : two) windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
  windows.replace(windows.find("\"A\""), 3, "\"\\u0041\"");
  EXPECT_EQ(LayoutFromJson(windows).value(), TwoDisplays());
}

TEST(Layout, JsonNamesTheFirstThingWrongByLineAndField) {
  const std::string two = ToJson(TwoDisplays());
  const struct {
    const char* from;  // replaced once, in the text of TwoDisplays
    std::string to;
    const char* message;
  } kCases[] = {
      {"h\": 1280", "h\": 1280.5", "line 32: displays[1].mode.width: expected an integer"},
      {"h\": 1280", "h\": -1",
       "line 32: displays[1].mode.width: expected an integer from 0 to 2147483647"},
      {"-1280", "-2147483649",
       "line 28: displays[1].position.x: expected an integer from -2147483648 to 2147483647"},
      {"1920,", "01920,", "line 15: displays[0].mode.width: an integer with a leading zero"},
      {"90", "45", "line 37: displays[1].orientation: expected 0, 90, 180 or 270"},
      {"-layout", "-list", "line 2: schema: expected \"vantrel-layout\""},
      {"1,", "2,", "line 3: version: expected 1"},
      {"false", "0", "line 25: displays[1].attached: expected true or false"},
      {"\"B\",", "\"B\", \"colour\": 1,", "line 23: displays[1].colour: unknown field"},
      {"\"B\",", "\"B\", \"a.b\": 1,", "line 23: displays[1].\"a.b\": unknown field"},
      {"\"B\",", "\"B\", \"key\": \"C\",", "line 23: displays[1].key: given twice"},
      {",\n      \"orientation\": 90", "", "line 37: displays[1].orientation: missing"},
      {"\"primary\":", "\"primary\"", "line 9: displays[0].primary: expected ':'"},
      {"0,\n        \"y\"", "0\n        \"y\"",
       "line 12: displays[0].position: expected ',' or '}'"},
      {"\"B\"", "\"\xff\"", "line 23: displays[1].key: a text that is not UTF-8"},
      {"\"B\"", "\"\\ud800\"", "line 23: displays[1].key: a lone surrogate in a \\u escape"},
      {"\"B\"", "\"\\x\"", "line 23: displays[1].key: an unknown escape in a text"},
      {"\"B\"", "\"\t\"", "line 23: displays[1].key: a control character in a text (escape it)"},
      {"\"displays\": [", "\"displays\": {", "line 4: displays: expected an array"},
      {"\"displays\": [", "\"displays\": [[[[", "line 4: displays[0]: expected an object"},
      {"    }\n  ]", "    },\n  ]", "line 39: displays[2]: expected an object"},
      {"  ]\n}", "  ]\n}\n}", "line 41: text after the layout"},
  };
  for (const auto& c : kCases) {
    std::string text = two;
    const auto at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, std::string_view(c.from).size(), c.to);
    const Result<Layout> read = LayoutFromJson(text);
    ASSERT_FALSE(read) << c.message;
    EXPECT_EQ(read.error().code, ErrorCode::kInvalidArgument);
    EXPECT_EQ(read.error().message, c.message);
  }
  EXPECT_EQ(LayoutFromJson("").error().message,
            "line 1: expected an object, found the end of the text");
  EXPECT_EQ(LayoutFromJson(two.substr(0, two.find("\"B") + 2)).error().message,
            "line 23: displays[1].key: the text ends inside a text");
}

}  // namespace
}  // namespace vantrel

// What vantrel-list prints for people for a given set of displays: the
// options and the table's columns; its exit codes and --watch over the
// simulated system and events. Its JSON is the library's
// (tests/displays/test_json.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "listing.h"
#include "simulated_events.h"
#include "simulated_system.h"

namespace listing {
namespace {

using vantrel::Display;
using vantrel::Displays;
namespace platform = vantrel::platform;

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

// The program's console: what it wrote, an output that takes so many writes,
// and a wait that runs `meanwhile` (while the watch waits) and returns.
class Captured final : public Console {
 public:
  bool Out(std::string_view text) override {
    if (writable == 0) return false;
    --writable;
    out += text;
    return true;
  }
  void Err(std::string_view text) override { err += text; }
  void Wait() override {
    if (meanwhile) meanwhile();
  }
  void EndWait() override { ended = true; }
  std::string out, err;
  int writable = 100;
  std::function<void()> meanwhile;
  std::atomic<bool> ended{false};
};

// The process's system and events, simulated while a test runs.
class OnSimulated : public ::testing::Test {
 protected:
  OnSimulated() { platform::UseSystem(&system_); }
  ~OnSimulated() override {
    platform::UseEvents(nullptr);
    platform::UseSystem(nullptr);
  }
  platform::SimulatedSystem system_{
      platform::SimulatedDisplays::FromRects({{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}})};
};

struct ThrowingEvents final : platform::EventSource {
  platform::Listening Listen(platform::EventThread, platform::EventHandler&) override {
    throw std::runtime_error("out of handles");
  }
};

// Every way it fails is an exit code and at most one line on stderr.
TEST_F(OnSimulated, ExitCodesAndErrors) {
  platform::SimulatedEvents failing;
  failing.FailListening(8, "CreateWindowExW failed (system error 8)");
  ThrowingEvents throwing;
  platform::SimulatedEvents quiet;
  const struct {
    std::string_view arg;
    platform::EventSource* events;
    int writable;
    int code;
    std::string err;
  } cases[] = {
      {"--frobnicate", &quiet, 100, kBadUsage, Usage()},
      {"--json", &quiet, 0, kFailed, ""},
      {"--watch", &quiet, 0, kDone, ""},
      {"--watch", &failing, 100, kFailed,
       "vantrel-list: CreateWindowExW failed (system error 8)\n"},
      {"--watch", &throwing, 100, kFailed, "vantrel-list: out of handles\n"},
  };
  for (const auto& c : cases) {
    platform::UseEvents(c.events);
    Captured console;
    console.writable = c.writable;
    EXPECT_EQ(listing::Run({c.arg}, console), c.code) << c.arg << ' ' << c.err;
    EXPECT_EQ(console.err, c.err);
    if (c.code != kDone) {
      EXPECT_EQ(console.out, "") << c.arg;
    }
  }
}

// --watch writes the displays, then a line for a change; an output that
// cannot take the change's line ends the watch, with exit 0.
TEST_F(OnSimulated, WatchWritesEachChangeUntilTheOutputCloses) {
  platform::SimulatedEvents events;
  platform::UseEvents(&events);
  for (const int writable : {2, 1}) {
    Captured console;
    console.writable = writable;
    console.meanwhile = [&] {
      system_.Change([](platform::SimulatedDisplays& l) { l.displays[1].bounds.right -= 256; });
      events.Tell();
      events.Advance(std::chrono::seconds(1));
    };
    EXPECT_EQ(listing::Run({"--watch"}, console), kDone);
    EXPECT_EQ(std::count(console.out.begin(), console.out.end(), '\n'), writable);
    EXPECT_EQ(console.out.find("\"event\":\"change\"") != std::string::npos, writable == 2);
    EXPECT_EQ(console.ended, writable == 1);
    EXPECT_FALSE(events.IsListening());
  }
}

}  // namespace
}  // namespace listing

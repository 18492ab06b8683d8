// The desktop's memory as data: its file read back as written and refused
// with the first fault named, its bounds, the names of sets, and which
// windows it keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "vantrel/displays/desktop.h"

namespace vantrel {
namespace {

KeptWindow Window(std::uintptr_t handle, std::string title, ShowState state) {
  WindowPlacement place{
      "\\\\?\\DISPLAY#Key#1",
      {100, 100, 500, 400},
      {0, 0, 1920, 1040},
      144,
      state == ShowState::kMaximized ? WindowState::kMaximized : WindowState::kNormal};
  return {handle, 4242, 17, "notepad.exe", "Notepad", std::move(title), place, state};
}

DesktopMemory TwoSets() {
  DesktopMemory m;
  const std::vector<std::string> docked{"\\\\?\\A", "\\\\?\\B"}, alone{"\\\\?\\A"};
  m.sets.push_back(
      {SetId(docked),
       docked,
       {Window(0x10a4, "a \"quoted\" title", ShowState::kMaximized),
        Window(0x20b8, "\xc3\xa9t\xc3\xa9\n", ShowState::kMinimized)},
       Layout{{{"\\\\?\\A", "\\\\.\\DISPLAY1", true, true, {0, 0}, {1920, 1080, 32, 60}, 0}}},
       7});
  m.sets.push_back(
      {SetId(alone), alone, {Window(0x10a4, "", ShowState::kNormal)}, std::nullopt, 9});
  m.clock = 9;
  return m;
}

TEST(DesktopMemory, FileReadsBackAsWritten) {
  const DesktopMemory m = TwoSets();
  const std::string text = ToJson(m);
  const Result<DesktopMemory> back = DesktopMemoryFromJson(text);
  ASSERT_TRUE(back) << back.error().message;
  EXPECT_EQ(*back, m);
  EXPECT_EQ(ToJson(*back), text);
  EXPECT_NE(m.Find(SetId({"\\\\?\\A"})), nullptr);
  EXPECT_EQ(m.Find("0000000000000000"), nullptr);
}

TEST(DesktopMemory, FileRefusedWithTheFirstFaultNamed) {
  const std::string good = ToJson(TwoSets());
  const auto edited = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  const struct {
    std::string text;
    const char* says;
  } kCases[] = {
      {edited("vantrel-desktop", "vantrel-layout"), "schema: expected \"vantrel-desktop\""},
      {edited("\"version\": 1", "\"version\": 2"), "version: expected 1"},
      {edited("\"normal\"", "\"hidden\""), "sets[1].windows[0].state"},
      {edited("vantrel-placement 1", "vantrel-placement 9"), "sets[0].windows[0].place"},
      {edited("\"handle\": 4260", "\"handle\": -1"), "sets[0].windows[0].handle"},
      {edited("\"\\\\\\\\?\\\\A\",", "\"\\\\\\\\?\\\\Z\","), "the keys sorted"},
      {edited("\"used\": 9", "\"used\": 9, \"extra\": 1"), "sets[1].extra: unknown field"},
      {good.substr(0, good.size() / 2), "line "},
      {good + "{}", "text after the memory"},
  };
  for (const auto& c : kCases) {
    const Result<DesktopMemory> read = DesktopMemoryFromJson(c.text);
    ASSERT_FALSE(read) << c.says;
    EXPECT_EQ(read.error().code, ErrorCode::kInvalidArgument);
    EXPECT_NE(read.error().message.find(c.says), std::string::npos)
        << c.says << ": " << read.error().message;
  }
  // An id that is not its keys' is an edit too.
  DesktopMemory wrong = TwoSets();
  wrong.sets[1].id = SetId({"\\\\?\\B"});
  EXPECT_FALSE(DesktopMemoryFromJson(ToJson(wrong)));
}

TEST(DesktopMemory, ReadWithinItsBounds) {
  DesktopMemory m;
  // Listed out of the order of use: the three used least are dropped.
  for (std::uint64_t k = 0; k < kMaxSets + 3; ++k) {
    const std::vector<std::string> keys{"key" + std::to_string(k)};
    m.sets.push_back({SetId(keys), keys, {}, std::nullopt, (k * 11) % (kMaxSets + 3)});
  }
  DisplaySetMemory& last = *std::ranges::max_element(m.sets, {}, &DisplaySetMemory::used);
  for (std::uintptr_t h = 1; h <= kMaxWindowsPerSet + 5; ++h) {
    last.windows.push_back(Window(h, "", ShowState::kNormal));
  }
  const Result<DesktopMemory> read = DesktopMemoryFromJson(ToJson(m));
  ASSERT_TRUE(read) << read.error().message;
  ASSERT_EQ(read->sets.size(), kMaxSets);
  for (const DisplaySetMemory& set : read->sets) EXPECT_GE(set.used, 3u) << set.id;
  const DisplaySetMemory* kept = read->Find(last.id);
  ASSERT_NE(kept, nullptr);
  ASSERT_EQ(kept->windows.size(), kMaxWindowsPerSet);  // the lowest in the Z-order dropped
  EXPECT_EQ(kept->windows.back().handle, kMaxWindowsPerSet);
}

TEST(DesktopMemory, SetsNamedByTheirSortedKeys) {
  EXPECT_EQ(SetId({"a", "b"}), SetId({"a", "b"}));
  EXPECT_NE(SetId({"a", "b"}), SetId({"ab"}));
  EXPECT_NE(SetId({"a"}), SetId({}));
  EXPECT_EQ(SetId({"a"}).size(), 16u);
}

TEST(DesktopMemory, KeepsTheWindowsAPersonWouldCallWindows) {
  platform::TopWindowFacts plain;
  plain.handle = 1;
  plain.process_id = 50;
  plain.visible = true;
  const auto with = [&](auto change) {
    platform::TopWindowFacts w = plain;
    change(w);
    return w;
  };
  const struct {
    const char* what;
    platform::TopWindowFacts window;
    const char* image;
    bool kept;
  } kCases[] = {
      {"plain", plain, "app.exe", true},
      {"hidden", with([](auto& w) { w.visible = false; }), "app.exe", false},
      {"tool window", with([](auto& w) { w.tool_window = true; }), "app.exe", false},
      {"dialog", with([](auto& w) { w.owned = true; }), "app.exe", false},
      {"shell's", with([](auto& w) { w.shell = true; }), "explorer.exe", false},
      {"cloaked by its program", with([](auto& w) { w.cloaked = 1; }), "app.exe", false},
      {"on another virtual desktop", with([](auto& w) { w.cloaked = 2; }), "app.exe", true},
      {"the keeper's own", with([](auto& w) { w.process_id = 7; }), "app.exe", false},
      {"excluded, any case", plain, "SKIPZ.EXE", false},
      {"another of the same length", plain, "skipy.exe", true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Kept(c.window, c.image, 7, {"skipz.exe"}), c.kept) << c.what;
  }
}

}  // namespace
}  // namespace vantrel

// vantrel-keep's decisions: its arguments, the memory's file set aside when
// it is none, forget, one keeper a desktop, and the keeper's loop telling a
// restore, run against the simulated system, store and events.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "keep_tool.h"
#include "simulated_events.h"
#include "simulated_store.h"
#include "simulated_system.h"

namespace keep_tool {
namespace {

using vantrel::DesktopMemory;
using vantrel::DisplaySetMemory;
using vantrel::platform::SimulatedDisplays;
using vantrel::platform::SimulatedEvents;
using vantrel::platform::SimulatedStore;
using vantrel::platform::SimulatedSystem;
using namespace std::chrono_literals;
using V = std::vector<std::string_view>;

class TextConsole final : public Console {
 public:
  bool Out(std::string_view text) override {
    out += text;
    return true;
  }
  void Err(std::string_view text) override { err += text; }
  std::string out, err;
};

// A desktop with no other keeper, or with one whose requests are counted.
class FakeLink final : public Link {
 public:
  bool running = false;
  bool claimable = true;
  std::vector<bool> forgotten;  // each Forget's `all`
  std::function<void(KeeperLoop&)> serve;

  bool Running() override { return running; }
  std::optional<vantrel::RestoreReport> Restore() override { return std::nullopt; }
  bool Forget(bool all) override {
    forgotten.push_back(all);
    return true;
  }
  bool Stop() override { return running; }
  bool Claim() override { return claimable; }
  vantrel::Result<void> Serve(KeeperLoop& loop) override {
    if (serve) serve(loop);
    return {};
  }
};

struct Desktop {
  SimulatedSystem system{SimulatedDisplays::FromRects({{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}})};
  SimulatedStore store;
  SimulatedEvents events;
  TextConsole console;
  FakeLink link;
  Context context{console, system, store, events, [this] { return events.Now(); }, "STAMP", 0};

  int Run(V args) {
    const vantrel::Result<Options> options = ParseArguments(args);
    if (!options) return kBadUsage;
    return keep_tool::Run(*options, context, link);
  }
  std::vector<std::string> CurrentKeys() {
    return vantrel::SetKeys(vantrel::Displays::Take(system));
  }
  DesktopMemory Saved() {
    return vantrel::DesktopMemoryFromJson(store.files.at(std::string(vantrel::kDesktopFile)))
        .value();
  }
};

TEST(KeepTool, Arguments) {
  const struct {
    V args;
    const char* error;  // empty: parsed
  } kCases[] = {
      {{"run", "--layouts", "--hold", "500", "--exclude", "a.exe", "--exclude=B.EXE"}, ""},
      {{"forget", "--all"}, ""},
      {{"stop", "--help"}, ""},
      {{}, "no command; vantrel-keep --help lists them"},
      {{"keep"}, "unknown command \"keep\"; vantrel-keep --help lists them"},
      {{"show", "x"}, "show: unexpected argument \"x\""},
      {{"restore", "--all"}, "restore: unknown option --all"},
      {{"forget", "--layouts"}, "forget: unknown option --layouts"},
      {{"run", "--hold"}, "run: --hold needs a value"},
      {{"run", "--hold", "2s"}, "run: --hold takes milliseconds from 0 to 600000, not \"2s\""},
      {{"run", "--hold=-1"}, "run: --hold takes milliseconds from 0 to 600000, not \"-1\""},
      {{"run", "--hold", "600001"},
       "run: --hold takes milliseconds from 0 to 600000, not \"600001\""},
      {{"run", "--exclude="}, "run: --exclude takes a program's file name"},
      {{"run", "--layouts=1"}, "run: --layouts takes no value"},
  };
  for (const auto& c : kCases) {
    const vantrel::Result<Options> o = ParseArguments(c.args);
    EXPECT_EQ(o ? "" : o.error().message, c.error) << (c.args.empty() ? "" : c.args[0]);
  }
  const Options run = ParseArguments(kCases[0].args).value();
  EXPECT_TRUE(run.layouts);
  EXPECT_EQ(run.hold, 500ms);
  EXPECT_EQ(run.exclude, (std::vector<std::string>{"a.exe", "B.EXE"}));
  EXPECT_TRUE(ParseArguments(kCases[1].args)->all);
  EXPECT_EQ(ParseArguments(kCases[2].args)->command, Command::kHelp);
}

// What is no memory is kept aside under the stamp, and an empty memory takes
// its place, so that the next start does not trip on it again.
TEST(KeepTool, ACorruptFileIsSetAside) {
  for (const V& args : {V{"show"}, V{"restore"}}) {
    Desktop d;
    d.store.files["desktop.json"] = "{\"schema\": \"vantrel-desktop\", \"vers";
    EXPECT_EQ(d.Run(args), kBadUsage) << args[0];
    EXPECT_EQ(d.store.files["desktop.json.bad-STAMP"], "{\"schema\": \"vantrel-desktop\", \"vers");
    EXPECT_EQ(d.Saved(), DesktopMemory{});
    EXPECT_NE(d.console.err.find("set aside as desktop.json.bad-STAMP, the memory starts empty"),
              std::string::npos)
        << d.console.err;
    EXPECT_EQ(d.console.out, "");
    // Once aside, the empty memory shows.
    EXPECT_EQ(d.Run({"show"}), kDone);
    EXPECT_EQ(d.console.out, vantrel::ToJson(DesktopMemory{}));
  }
}

TEST(KeepTool, ForgetTheCurrentSetOrAll) {
  const struct {
    const char* what;
    V args;
    bool running;
    std::size_t sets_left;  // of two, the current one first
    std::vector<bool> through_keeper;
  } kCases[] = {
      {"current", {"forget"}, false, 1, {}},
      {"all", {"forget", "--all"}, false, 0, {}},
      {"through the running keeper", {"forget", "--all"}, true, 2, {true}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    Desktop d;
    DesktopMemory memory;
    memory.sets.push_back(
        DisplaySetMemory{vantrel::SetId(d.CurrentKeys()), d.CurrentKeys(), {}, {}, 2});
    memory.sets.push_back(
        DisplaySetMemory{vantrel::SetId({"elsewhere"}), {"elsewhere"}, {}, {}, 1});
    memory.clock = 2;
    d.store.files["desktop.json"] = vantrel::ToJson(memory);
    d.link.running = c.running;
    EXPECT_EQ(d.Run(c.args), kDone) << d.console.err;
    const DesktopMemory left = d.Saved();
    ASSERT_EQ(left.sets.size(), c.sets_left);
    if (c.sets_left == 1) {
      EXPECT_EQ(left.sets[0].keys, std::vector<std::string>{"elsewhere"});
    }
    EXPECT_EQ(d.link.forgotten, c.through_keeper);
  }
}

TEST(KeepTool, OneKeeperADesktop) {
  Desktop d;
  d.link.claimable = false;
  EXPECT_EQ(d.Run({"run"}), kFailed);
  EXPECT_EQ(d.console.err, "vantrel-keep: a keeper already runs on this desktop\n");
  EXPECT_EQ(d.Run({"stop"}), kFailed);
  EXPECT_FALSE(d.events.IsListening());
}

// The second display leaves and comes back: the set the keeper started on
// (known by its layout) returns and is put back, told once, its layout
// already in force; ended, it has saved and stopped listening.
TEST(KeepTool, RunTellsEachRestore) {
  Desktop d;
  const std::string home = vantrel::SetId(d.CurrentKeys());
  d.link.serve = [&](KeeperLoop& loop) {
    d.events.Advance(5s);
    const auto second = d.system.layout().displays[1];
    d.system.Change([](SimulatedDisplays& l) { l.displays.pop_back(); });
    d.events.Tell();
    d.events.Advance(5s);
    d.system.Change([&](SimulatedDisplays& l) { l.displays.push_back(second); });
    d.events.Tell();
    d.events.Advance(5s);
    loop.End();
  };
  ASSERT_EQ(d.Run({"run", "--layouts", "--hold", "100"}), kDone) << d.console.err;
  const std::string started = "{\"event\":\"started\",\"set\":\"" + home + "\",\"sets\":1}\n";
  const std::string restored = "{\"event\":\"restored\",\"set\":\"" + home + "\",\"windows\":0";
  const std::string ended = "{\"event\":\"ended\",\"sets\":2,\"saved\":true}\n";  // home, and alone
  // Three lines: started, restored, ended.
  EXPECT_EQ(d.console.out.rfind(started, 0), 0u) << d.console.out;
  const std::size_t second_end = d.console.out.find("\n", started.size());
  EXPECT_EQ(d.console.out.find(restored, started.size()), started.size()) << d.console.out;
  EXPECT_EQ(d.console.out.substr(second_end + 1), ended) << d.console.out;
  EXPECT_NE(d.Saved().Find(home), nullptr);
  EXPECT_FALSE(d.events.IsListening());
}

// --exclude reaches the keeper: the named program's windows, named in any
// case, are not kept; the others are.
TEST(KeepTool, RunLeavesExcludedProgramsAlone) {
  Desktop d;
  d.system.Change([](SimulatedDisplays& l) {
    for (const auto& [handle, image] : {std::pair{0x10u, "editor.exe"}, {0x20u, "skipme.exe"}}) {
      auto& w = l.windows[handle];
      w.rect = w.normal = {100, 100, 700, 500};
      w.process_id = w.thread_id = handle;
      w.class_name = "Window";
      w.image = image;
    }
  });
  d.link.serve = [&](KeeperLoop& loop) {
    d.events.Advance(5s);
    loop.End();
  };
  ASSERT_EQ(d.Run({"run", "--exclude=SKIPME.EXE"}), kDone) << d.console.err;
  const DesktopMemory saved = d.Saved();
  const DisplaySetMemory* home = saved.Find(vantrel::SetId(d.CurrentKeys()));
  ASSERT_NE(home, nullptr);
  ASSERT_EQ(home->windows.size(), 1u);
  EXPECT_EQ(home->windows[0].image, "editor.exe");
}

}  // namespace
}  // namespace keep_tool

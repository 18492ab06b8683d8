// vantrel-layout's decisions: its arguments, the layout `set` asks for, and
// every outcome's exit code and text, run against the simulated system with
// a console that answers as told. The program under Wine:
// tests/e2e/run-layout.sh.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "layout_tool.h"
#include "simulated_store.h"
#include "simulated_system.h"

namespace layout_tool {
namespace {

using vantrel::Layout;
using vantrel::platform::SimulatedDisplays;
using vantrel::platform::SimulatedSystem;
using V = std::vector<std::string_view>;

TEST(LayoutTool, Arguments) {
  const struct {
    V args;
    const char* error;  // empty: parsed
  } kCases[] = {
      {{"set", "2", "--mode", "800x600@75", "--position=-1920,-5", "--primary", "--yes"}, ""},
      {{"apply", "f.json", "--confirm-within", "2", "--dry-run"}, ""},
      {{"save", "f.json", "--help"}, ""},
      {{}, "no command; vantrel-layout --help lists them"},
      {{"show", "x"}, "show: unexpected argument \"x\""},
      {{"apply"}, "apply: needs a FILE"},
      {{"revert", "--yes"}, "revert: unknown option --yes"},
      {{"apply", "f", "--mode", "1x1"}, "apply: unknown option --mode"},
      {{"apply", "f", "--yes", "--confirm-within", "5"},
       "apply: --yes and --confirm-within exclude each other"},
      {{"apply", "f", "--confirm-within", "0"},
       "--confirm-within takes whole seconds from 1 to 3600, not \"0\""},
      {{"apply", "f", "--confirm-within"}, "apply: --confirm-within needs a value"},
      {{"apply", "f", "--yes=1"}, "apply: --yes takes no value"},
      {{"set", "--off"}, "set: needs a DISPLAY (a key, an adapter name or a number)"},
      {{"set", "1"}, "set: nothing to set: give --mode, --position, --primary, --off or --on"},
      {{"set", "1", "--off", "--on"}, "set: --off and --on exclude each other"},
      {{"set", "1", "--off", "--primary"}, "set: --off takes no --mode, --position or --primary"},
      {{"set", "1", "--mode", "800x"}, "--mode takes WxH or WxH@HZ, as 1920x1080@60, not \"800x\""},
      {{"set", "1", "--position", "5"}, "--position takes X,Y, as -1920,0, not \"5\""},
  };
  for (const auto& c : kCases) {
    const vantrel::Result<Options> o = ParseArguments(c.args);
    EXPECT_EQ(o ? "" : o.error().message, c.error) << c.args[0];
  }
  const Options set = ParseArguments(kCases[0].args).value();
  EXPECT_EQ(set.set.mode, (vantrel::DisplayMode{800, 600, 0, 75}));
  EXPECT_EQ(set.set.position, (vantrel::Point{-1920, -5}));
  EXPECT_TRUE(set.set.primary && set.yes && set.display == "2");
  const Options apply = ParseArguments(kCases[1].args).value();
  EXPECT_TRUE(apply.dry_run && apply.confirm_within == 2 && apply.file == "f.json");
  EXPECT_EQ(ParseArguments(kCases[2].args)->command, Command::kHelp);
}

TEST(LayoutTool, SetAsksForOneDisplay) {
  const Layout now{{{"K1", "\\\\.\\DISPLAY1", true, true, {0, 0}, {1920, 1080, 32, 60}, 0},
                    {"K2", "\\\\.\\DISPLAY2", true, false, {1920, 0}, {1280, 1024, 32, 75}, 0},
                    {"K3", "\\\\.\\DISPLAY10", false, false, {}, {}, 0}}};
  const std::vector<vantrel::OfferedModes> offered{
      {"\\\\.\\DISPLAY2",
       {{800, 600, 16, 85}, {800, 600, 32, 60}, {800, 600, 32, 72}, {1024, 768, 32, 75}}},
      {"\\\\.\\DISPLAY10", {{1024, 768, 32, 60}, {1600, 900, 32, 60}, {1280, 1024, 32, 60}}}};
  const struct {
    V args;              // after "set"
    const char* wanted;  // the one display wanted; or the error
  } kCases[] = {
      {{"k2", "--mode", "800x600"},
       "\\\\.\\DISPLAY2 at 1920,0 800x600 32 72"},  // highest at its bits
      {{"\\\\.\\display2", "--mode", "1024x768"}, "\\\\.\\DISPLAY2 at 1920,0 1024x768 32 75"},
      {{"2", "--mode", "800x600@85"}, "\\\\.\\DISPLAY2 at 1920,0 800x600 16 85"},
      {{"2", "--mode", "640x480"}, "\\\\.\\DISPLAY2 at 1920,0 640x480 0 0"},  // the plan refuses it
      {{"2", "--position", "-1280,0", "--primary"},
       "\\\\.\\DISPLAY2 primary at -1280,0 1280x1024 32 75"},
      {{"2", "--off"}, "\\\\.\\DISPLAY2 off at 1920,0 1280x1024 32 75"},
      {{"10", "--on"}, "\\\\.\\DISPLAY10 at 3200,0 1600x900 32 60"},  // its largest, right
      {{"10", "--mode", "1024x768"}, "\\\\.\\DISPLAY10 (K3): is detached; --on attaches it"},
      {{"3", "--on"}, "no connected display has the key, adapter name or number \"3\""},
  };
  for (const auto& c : kCases) {
    V args{"set"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Options o = ParseArguments(args).value();
    const vantrel::Result<Layout> wanted = SetLayout(
        now,
        [&](std::string_view a) {
          const vantrel::OfferedModes* listed = vantrel::ListedFor(offered, a);
          return listed ? *listed : vantrel::OfferedModes{std::string(a), {}};
        },
        o.display, o.set);
    std::string text = wanted ? "" : wanted.error().message;
    for (const auto& d : wanted ? wanted->displays : std::vector<vantrel::LayoutDisplay>{}) {
      const auto& [w, h, bits, hz] = d.mode;
      text += d.adapter + (d.attached ? "" : " off") + (d.primary ? " primary" : "") + " at " +
              std::to_string(d.position.x) + "," + std::to_string(d.position.y) + " " +
              std::to_string(w) + "x" + std::to_string(h) + " " + std::to_string(bits) + " " +
              std::to_string(hz);
    }
    EXPECT_EQ(text, c.wanted) << c.args[0] << " " << c.args[1];
  }
}

struct Answering final : Console {
  std::map<std::string, std::string> files;
  Reply reply;
  std::string out, err, asked;
  int seconds = 0;
  bool Out(std::string_view t) override { return out += t, true; }
  void Err(std::string_view t) override { err += t; }
  vantrel::Result<std::string> ReadFile(const std::string& path) override {
    if (!files.contains(path)) return vantrel::Error{vantrel::ErrorCode::kSystem, 2, "no " + path};
    return files[path];
  }
  vantrel::Result<void> WriteFile(const std::string& path, std::string_view text) override {
    return files[path] = text, vantrel::Result<void>();
  }
  Reply Ask(std::string_view question, int s) override {
    return asked = question, seconds = s, reply;
  }
};

// Two displays keyed K1 and K2 on the simulated system, the layout from
// before in a simulated store.
struct Twin {
  SimulatedSystem system{Two()};
  vantrel::platform::SimulatedStore store;
  vantrel::LayoutChanger changer{system, store};
  Layout before, wanted;  // as it is; the second display at 800 x 600
  Answering console;
  Twin() {
    before = wanted = changer.Now();
    wanted.displays[1].mode = {800, 600, 32, 60};
    console.files = {{"new.json", vantrel::ToJson(wanted)}, {"bad.json", "[]"}};
  }
  static SimulatedDisplays Two() {
    auto displays = SimulatedDisplays::FromRects({{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}});
    for (std::size_t k = 0; k < 2; ++k) {
      displays.displays[k].target->device_path = displays.displays[k].device->device_id =
          "K" + std::to_string(k + 1);
    }
    return displays;
  }
  int Run(V args) {
    console.out.clear();
    console.err.clear();
    return layout_tool::Run(ParseArguments(args).value(), console, changer);
  }
};

TEST(LayoutTool, EveryOutcomeOfAChange) {
  const std::string kBack = "vantrel-layout: not kept (";
  const std::string kIsBack = "): the layout from before is back\n";
  // clang-format off
  const struct {
    V args;
    Reply reply;
    bool other;         // the system gives another position than asked
    int exit;
    bool changed;       // the layout in force is the file's afterwards
    const char* asked;  // how long it was asked for, "" where not
    std::string err;
  } kCases[] = {
      {{"apply", "new.json"}, {Reply::kLine, " Yes\r"}, false, kDone, true, "15", ""},
      {{"apply", "new.json", "--yes"}, {}, false, kDone, true, "", ""},
      {{"apply", "new.json"}, {Reply::kLine, "n"}, false, kNotKept, false, "15",
       kBack + "answered \"n\"" + kIsBack},
      {{"apply", "new.json", "--confirm-within", "2"}, {Reply::kTimeout, ""}, false, kNotKept,
       false, "2", kBack + "no answer within 2 s" + kIsBack},
      {{"set", "2", "--mode", "800x600"}, {Reply::kEnd, ""}, false, kNotKept, false, "15",
       kBack + "the input ended" + kIsBack},
      {{"set", "2", "--mode", "800x600"}, {Reply::kInterrupted, ""}, false, kNotKept, false, "15",
       kBack + "interrupted" + kIsBack},
      {{"apply", "new.json", "--yes"}, {}, true, kRefused, false, "",
       "vantrel-layout: \\\\.\\DISPLAY2 (K2): position asked 1920,0, got 1920,100; the layout "
       "from before is back\n"},
      {{"apply", "bad.json"}, {}, false, kBadUsage, false, "",
       "vantrel-layout: bad.json: line 1: expected an object\n"},
      {{"apply", "none.json"}, {}, false, kBadUsage, false, "", "vantrel-layout: no none.json\n"},
      {{"set", "2", "--mode", "640x480", "--yes"}, {}, false, kBadUsage, false, "",
       "vantrel-layout: \\\\.\\DISPLAY2 (K2): 640x480 32 bits 60 Hz is no mode it offers\n"},
      {{"set", "1", "--off", "--yes"}, {}, false, kBadUsage, false, "",
       "vantrel-layout: \\\\.\\DISPLAY1 (K1): is the primary and would be detached, and no other "
       "is named the primary\n"},
  };
  // clang-format on
  for (const auto& c : kCases) {
    Twin twin;
    if (c.other) {
      twin.system.after_reset = [n = 0](SimulatedDisplays& l) mutable {
        if (n++ == 0) l.displays[1].bounds = {1920, 100, 2720, 700};
      };
    }
    twin.console.reply = c.reply;
    const int exit = twin.Run(c.args);
    const std::string what = std::to_string(&c - kCases);
    EXPECT_EQ(exit, c.exit) << what;
    EXPECT_EQ(twin.changer.Now(), c.changed ? twin.wanted : twin.before) << what;
    EXPECT_EQ(twin.console.err, c.err) << what;
    EXPECT_EQ(twin.console.asked.empty() ? "" : std::to_string(twin.console.seconds), c.asked)
        << what;
    EXPECT_TRUE(!*c.asked || twin.console.asked.ends_with(kQuestion)) << what;
    EXPECT_EQ(twin.console.out, "") << what;
  }
}

TEST(LayoutTool, ShownSavedTriedAndReverted) {
  Twin twin;
  EXPECT_EQ(twin.Run({"show"}), kDone);
  EXPECT_EQ(twin.console.out, vantrel::ToJson(twin.before));
  EXPECT_EQ(twin.Run({"save", "saved.json"}), kDone);
  EXPECT_EQ(twin.console.files["saved.json"], vantrel::ToJson(twin.before));
  EXPECT_EQ(twin.Run({"apply", "new.json", "--dry-run"}), kDone);
  EXPECT_EQ(twin.console.out,
            "\\\\.\\DISPLAY2 (K2): mode 1280x1024 32 bits 60 Hz -> 800x600 32 bits 60 Hz\n");
  EXPECT_EQ(twin.Run({"revert"}), kBadUsage);
  EXPECT_TRUE(twin.console.err.starts_with("vantrel-layout: no layout from before is saved at "));
  EXPECT_EQ(twin.system.counts().resets, 0);
  EXPECT_EQ(twin.Run({"set", "\\\\.\\DISPLAY2", "--off", "--yes"}), kDone);
  EXPECT_FALSE(twin.changer.Now().displays[1].attached);
  EXPECT_EQ(twin.Run({"revert"}), kDone);
  EXPECT_EQ(twin.changer.Now(), twin.before);
  EXPECT_EQ(twin.Run({"revert"}), kDone);  // nothing left to do
  EXPECT_EQ(twin.system.counts().resets, 2);
}

}  // namespace
}  // namespace layout_tool

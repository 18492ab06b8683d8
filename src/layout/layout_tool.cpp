#include "layout_tool.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "arguments.h"

namespace layout_tool {

namespace {

using vantrel::DisplayMode;
using vantrel::Error;
using vantrel::Layout;
using vantrel::LayoutDisplay;
using vantrel::NameOf;
using vantrel::OfferedModes;
using vantrel::Point;
using vantrel::Result;

using vantrel::arguments::Bad;

// The whole text as an integer in [low, high], no sign but a leading minus.
std::optional<std::int32_t> Integer(std::string_view text, std::int64_t low, std::int64_t high) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || at != end || value < low || value > high) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();

// "WxH" or "WxH@HZ".
std::optional<DisplayMode> ModeOf(std::string_view text) {
  DisplayMode mode;
  if (const auto at = text.find('@'); at != text.npos) {
    const auto hz = Integer(text.substr(at + 1), 1, kIntMax);
    if (!hz) return std::nullopt;
    mode.frequency = *hz;
    text = text.substr(0, at);
  }
  const auto x = text.find_first_of("xX");
  if (x == text.npos) return std::nullopt;
  const auto w = Integer(text.substr(0, x), 1, kIntMax);
  const auto h = Integer(text.substr(x + 1), 1, kIntMax);
  if (!w || !h) return std::nullopt;
  mode.width = *w;
  mode.height = *h;
  return mode;
}

// "X,Y".
std::optional<Point> PointOf(std::string_view text) {
  const auto comma = text.find(',');
  if (comma == text.npos) return std::nullopt;
  const auto x = Integer(text.substr(0, comma), kIntMin, kIntMax);
  const auto y = Integer(text.substr(comma + 1), kIntMin, kIntMax);
  if (!x || !y) return std::nullopt;
  return Point{*x, *y};
}

// The offered mode of `asked`'s size (and frequency, where asked) the display
// (as it is: `d`) would best run: at its bits and frequency where it can,
// else the highest frequency. `asked` itself where none is offered: the
// plan then says so.
DisplayMode ChosenMode(const LayoutDisplay& d, const OfferedModes* listed, DisplayMode asked) {
  const bool quarter = d.orientation % 180 != 0;
  std::optional<DisplayMode> best;
  const auto rank = [&](const DisplayMode& m) {
    return std::tuple(m.bits_per_pixel == d.mode.bits_per_pixel, m.frequency == d.mode.frequency,
                      m.frequency, m.bits_per_pixel);
  };
  for (const DisplayMode& m : listed ? listed->modes : std::vector<DisplayMode>{}) {
    const std::int32_t w = quarter ? m.height : m.width;
    const std::int32_t h = quarter ? m.width : m.height;
    if (w != asked.width || h != asked.height) continue;
    if (asked.frequency != 0 && m.frequency != asked.frequency) continue;
    if (!best || rank(m) > rank(*best)) best = m;
  }
  if (best) asked = {asked.width, asked.height, best->bits_per_pixel, best->frequency};
  return asked;
}

// The largest mode an adapter offers, at its highest frequency and bits.
DisplayMode Largest(const OfferedModes* listed) {
  DisplayMode largest;
  const auto rank = [](const DisplayMode& m) {
    return std::tuple(std::int64_t{m.width} * m.height, m.frequency, m.bits_per_pixel);
  };
  for (const DisplayMode& m : listed ? listed->modes : std::vector<DisplayMode>{}) {
    if (rank(m) > rank(largest)) largest = m;
  }
  return largest;
}

// Right of the attached display that reaches furthest right, level with it.
Point RightOfOthers(const Layout& now) {
  Point at;
  std::int64_t right = kIntMin;
  for (const LayoutDisplay& d : now.displays) {
    if (!d.attached || std::int64_t{d.position.x} + d.mode.width <= right) continue;
    right = std::int64_t{d.position.x} + d.mode.width;
    at = {static_cast<std::int32_t>(std::min(right, kIntMax)), d.position.y};
  }
  return at;
}

// Where an option's value is wanted and missing or wrong.
Error BadValue(std::string_view option, std::string_view value, std::string_view form) {
  return Bad(std::string(option) + " takes " + std::string(form) + ", not \"" + std::string(value) +
             "\"");
}

std::string Reason(const Reply& reply, int seconds) {
  switch (reply.how) {
    case Reply::kLine:
      return "answered \"" + reply.line.substr(0, 40) + "\"";
    case Reply::kEnd:
      return "the input ended";
    case Reply::kTimeout:
      return "no answer within " + std::to_string(seconds) + " s";
    case Reply::kInterrupted:
      return "interrupted";
  }
  return {};
}

int Fail(Console& console, int code, std::string_view message) {
  std::string line = "vantrel-layout: " + std::string(message);
  std::ranges::replace(line, '\n', ' ');
  console.Err(line + "\n");
  return code;
}

// The exit code of every way a change can end.
int ExitCode(const vantrel::ChangeOutcome& outcome) {
  switch (outcome.end) {
    case vantrel::ChangeEnd::kApplied:
      return kDone;
    case vantrel::ChangeEnd::kRefused:
      return outcome.refusal && outcome.refusal->reason == vantrel::RefusalReason::kSystemTest
                 ? kRefused
                 : kBadUsage;
    case vantrel::ChangeEnd::kRolledBack:
      return kRefused;
    case vantrel::ChangeEnd::kNotKept:
      return kNotKept;
    case vantrel::ChangeEnd::kNotSaved:
    case vantrel::ChangeEnd::kNotBack:
      return kFailed;
  }
  return kFailed;
}

int Ended(Console& console, const vantrel::ChangeOutcome& outcome) {
  const int code = ExitCode(outcome);
  if (code == kDone) return kDone;
  std::string message = vantrel::Message(outcome);
  if (outcome.end == vantrel::ChangeEnd::kNotBack)
    message += " (vantrel-layout revert tries again)";
  return Fail(console, code, message);
}

int Change(const Options& o, Console& console, vantrel::LayoutChanger& changer) {
  Result<Layout> wanted = Bad("");
  if (o.command == Command::kApply) {
    const Result<std::string> text = console.ReadFile(o.file);
    if (!text) return Fail(console, kBadUsage, text.error().message);
    wanted = vantrel::LayoutFromJson(*text);
    if (!wanted) return Fail(console, kBadUsage, o.file + ": " + wanted.error().message);
  } else {
    wanted = SetLayout(
        changer.Now(), [&](std::string_view adapter) { return changer.OfferedBy(adapter); },
        o.display, o.set);
    if (!wanted) return Fail(console, kBadUsage, wanted.error().message);
  }
  if (o.dry_run) {
    const Result<vantrel::LayoutPlan, vantrel::Refusal> plan = changer.Plan(*wanted);
    if (!plan) return Fail(console, kBadUsage, plan.error().message);
    std::string lines;
    for (const std::string& line : vantrel::Describe(*plan)) lines += line + "\n";
    return console.Out(lines) ? kDone : kFailed;
  }
  vantrel::LayoutChanger::Confirm confirm;
  if (!o.yes) {
    confirm = [&]() -> vantrel::LayoutChanger::Confirmation {
      const Reply reply = console.Ask("The display settings have changed; they go back in " +
                                          std::to_string(o.confirm_within) + " s unless kept.\n" +
                                          std::string(kQuestion),
                                      o.confirm_within);
      return {Keeps(reply), Reason(reply, o.confirm_within)};
    };
  }
  return Ended(console, changer.Apply(*wanted, confirm));
}

int RevertSaved(Console& console, vantrel::LayoutChanger& changer) {
  const Result<vantrel::ChangeOutcome> reverted = changer.Revert();
  if (!reverted) return Fail(console, kBadUsage, reverted.error().message);
  return Ended(console, *reverted);
}

}  // namespace

Result<Options> ParseArguments(const std::vector<std::string_view>& args) {
  Options o;
  if (vantrel::arguments::AsksForHelp(args)) return o;
  static constexpr std::pair<std::string_view, Command> kCommands[] = {{"show", Command::kShow},
                                                                       {"save", Command::kSave},
                                                                       {"apply", Command::kApply},
                                                                       {"revert", Command::kRevert},
                                                                       {"set", Command::kSet}};
  const Result<Command> command =
      vantrel::arguments::CommandOf<Command>(args, kCommands, "vantrel-layout");
  if (!command) return command.error();
  o.command = *command;
  const bool changes = o.command == Command::kApply || o.command == Command::kSet;
  const std::string prefix = std::string(args[0]) + ": ";
  const auto takes_value = [](std::string_view a) {
    return a == "--confirm-within" || a == "--mode" || a == "--position";
  };
  const auto known = [&](std::string_view a) {
    return (changes && (a == "--dry-run" || a == "--yes" || a == "--confirm-within")) ||
           (o.command == Command::kSet && (a == "--mode" || a == "--position" || a == "--primary" ||
                                           a == "--off" || a == "--on"));
  };
  std::optional<std::string_view> positional;
  bool confirm_within = false;
  for (std::size_t k = 1; k < args.size(); ++k) {
    if (!args[k].starts_with("--")) {
      if (positional || o.command == Command::kShow || o.command == Command::kRevert) {
        return Bad(prefix + "unexpected argument \"" + std::string(args[k]) + "\"");
      }
      positional = args[k];
      continue;
    }
    const Result<vantrel::arguments::Option> option =
        vantrel::arguments::OptionAt(args, k, prefix, known, takes_value);
    if (!option) return option.error();
    const std::string_view a = option->name;
    const std::optional<std::string_view>& value = option->value;
    if (a == "--dry-run") o.dry_run = true;
    if (a == "--yes") o.yes = true;
    if (a == "--primary") o.set.primary = true;
    if (a == "--off" || a == "--on") {
      if (o.set.attached && *o.set.attached != (a == "--on")) {
        return Bad(prefix + "--off and --on exclude each other");
      }
      o.set.attached = a == "--on";
    }
    if (a == "--confirm-within") {
      const auto seconds = Integer(*value, 1, 3600);
      if (!seconds) return BadValue(a, *value, "whole seconds from 1 to 3600");
      o.confirm_within = *seconds;
      confirm_within = true;
    }
    if (a == "--mode" && !(o.set.mode = ModeOf(*value))) {
      return BadValue(a, *value, "WxH or WxH@HZ, as 1920x1080@60");
    }
    if (a == "--position" && !(o.set.position = PointOf(*value))) {
      return BadValue(a, *value, "X,Y, as -1920,0");
    }
  }
  if (o.command == Command::kSave || o.command == Command::kApply) {
    if (!positional) return Bad(prefix + "needs a FILE");
    o.file = *positional;
  }
  if (o.command == Command::kSet) {
    if (!positional) return Bad(prefix + "needs a DISPLAY (a key, an adapter name or a number)");
    o.display = *positional;
    const SetChange& s = o.set;
    if (!s.mode && !s.position && !s.primary && !s.attached) {
      return Bad(prefix + "nothing to set: give --mode, --position, --primary, --off or --on");
    }
    if (s.attached == false && (s.mode || s.position || s.primary)) {
      return Bad(prefix + "--off takes no --mode, --position or --primary");
    }
  }
  if (o.yes && confirm_within) return Bad(prefix + "--yes and --confirm-within exclude each other");
  return o;
}

std::string Usage() {
  return "usage: vantrel-layout COMMAND [OPTIONS]\n"
         "Shows, saves and sets the layout of the displays: which are attached,\n"
         "where, in which mode, which is the primary.\n"
         "  show                 the layout in force, as JSON (schema \"vantrel-layout\" 1)\n"
         "  save FILE            the same, into FILE\n"
         "  apply FILE           sets the layout FILE holds (displays it names; others stay)\n"
         "  set DISPLAY ...      changes one display, DISPLAY a key, an adapter name\n"
         "                       (\\\\.\\DISPLAY2) or its number (2):\n"
         "      --mode WxH[@HZ]  its mode    --position X,Y  its top-left corner\n"
         "      --primary        makes it the primary   --off | --on  detaches, attaches it\n"
         "  revert               puts back the layout in force before the last change\n"
         "apply and set:\n"
         "  --dry-run            prints the changes, one line a display; changes nothing\n"
         "  --yes                keeps the new layout without asking\n"
         "  --confirm-within S   asks \"Keep these display settings? [y/N]\" and puts the\n"
         "                       layout from before back unless y or yes comes within S\n"
         "                       seconds (default 15); no, end of input or Ctrl+C too\n"
         "Exit codes: 0 done (or nothing to do), 1 the output or the layout from before\n"
         "could not be written, or the layout from before is not back, 2 bad usage or a\n"
         "bad file (nothing changed), 3 the system refused or gave something else (the\n"
         "layout from before is back), 4 not kept (the layout from before is back).\n";
}

Result<std::size_t> FindDisplay(const Layout& now, std::string_view name) {
  const auto& all = now.displays;
  for (const auto field : {&LayoutDisplay::key, &LayoutDisplay::adapter}) {
    const auto found = std::ranges::find_if(all, [&](const LayoutDisplay& d) {
      return !name.empty() && vantrel::SameDeviceName(d.*field, name);
    });
    if (found != all.end()) return static_cast<std::size_t>(found - all.begin());
  }
  if (const auto number = Integer(name, 0, kIntMax)) {
    const auto found = std::ranges::find_if(
        all, [&](const LayoutDisplay& d) { return vantrel::AdapterNumber(d.adapter) == number; });
    if (found != all.end()) return static_cast<std::size_t>(found - all.begin());
  }
  return Bad("no connected display has the key, adapter name or number \"" + std::string(name) +
             "\"");
}

Result<Layout> SetLayout(const Layout& now, const ModesOf& modes_of, std::string_view display,
                         const SetChange& change) {
  const Result<std::size_t> found = FindDisplay(now, display);
  if (!found) return found.error();
  LayoutDisplay d = now.displays[*found];
  // Listed only where a mode is chosen: listing takes milliseconds a display.
  std::optional<OfferedModes> offered;
  const auto listed = [&]() -> const OfferedModes* {
    if (!offered) offered = modes_of(d.adapter);
    return &*offered;
  };
  const bool was_attached = d.attached;
  d.attached = change.attached.value_or(d.attached);
  if (!d.attached) {
    if (change.mode || change.position || change.primary) {
      return Bad(NameOf(d) + ": is detached; --on attaches it");
    }
    d.primary = false;  // so the plan says the primary would be detached
    return Layout{{d}};
  }
  if (!was_attached && (d.mode.width <= 0 || d.mode.height <= 0)) {
    d.mode = Largest(listed());
    d.position = RightOfOthers(now);
  }
  if (change.mode) d.mode = ChosenMode(d, listed(), *change.mode);
  if (change.position) d.position = *change.position;
  if (change.primary) d.primary = true;
  return Layout{{d}};
}

bool Keeps(const Reply& reply) {
  if (reply.how != Reply::kLine) return false;
  std::string_view line = reply.line;
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
    line.remove_suffix(1);
  }
  return vantrel::SameDeviceName(line, "y") || vantrel::SameDeviceName(line, "yes");
}

int Run(const Options& o, Console& console, vantrel::LayoutChanger& changer) {
  switch (o.command) {
    case Command::kHelp:
      return console.Out(Usage()) ? kDone : kFailed;
    case Command::kShow:
      return console.Out(vantrel::ToJson(changer.Now())) ? kDone : kFailed;
    case Command::kSave:
      if (const Result<void> saved = console.WriteFile(o.file, vantrel::ToJson(changer.Now()));
          !saved) {
        return Fail(console, kBadUsage, saved.error().message);
      }
      return kDone;
    case Command::kRevert:
      return RevertSaved(console, changer);
    case Command::kApply:
    case Command::kSet:
      return Change(o, console, changer);
  }
  return kBadUsage;
}

}  // namespace layout_tool

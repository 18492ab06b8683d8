#include "keep_tool.h"

#include <algorithm>
#include <charconv>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "arguments.h"
#include "vantrel/displays/json_writer.h"

namespace keep_tool {

namespace {

using vantrel::ChangeEnd;
using vantrel::DesktopKeeper;
using vantrel::DesktopMemory;
using vantrel::RestoreReport;
using vantrel::Result;

using vantrel::arguments::Bad;

void Say(Console& console, std::string message) {
  std::ranges::replace(message, '\n', ' ');
  console.Err("vantrel-keep: " + message + "\n");
}

int Fail(Console& console, int code, std::string message) {
  Say(console, std::move(message));
  return code;
}

// The file's full name where the store has one, for messages.
std::string Named(vantrel::platform::StateStore& store, std::string_view name) {
  const Result<std::string> where = store.Where(name);
  return where ? *where : std::string(name);
}

std::string_view Word(ChangeEnd end) {
  static constexpr std::pair<ChangeEnd, std::string_view> kWords[] = {
      {ChangeEnd::kApplied, "applied"},    {ChangeEnd::kRefused, "refused"},
      {ChangeEnd::kNotSaved, "not saved"}, {ChangeEnd::kRolledBack, "rolled back"},
      {ChangeEnd::kNotKept, "not kept"},   {ChangeEnd::kNotBack, "not back"}};
  const auto found = std::ranges::find(kWords, end, &std::pair<ChangeEnd, std::string_view>::first);
  return found == std::end(kWords) ? "unknown" : found->second;
}

std::int64_t Ms(DesktopKeeper::Clock::duration d) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

DesktopKeeper::Options KeeperOptions(const Options& o, const Context& c) {
  DesktopKeeper::Options options;
  options.hold = o.hold;
  options.exclude = o.exclude;
  options.layouts = o.layouts;
  options.own_process = c.own_process;
  return options;
}

Result<void> Write(Context& c, const DesktopMemory& memory) {
  return c.store.Write(vantrel::kDesktopFile, vantrel::ToJson(memory));
}

int RunKeeper(const Options& o, Context& c, Link& link) {
  if (!link.Claim()) return Fail(c.console, kFailed, "a keeper already runs on this desktop");
  Result<Loaded> loaded = LoadMemory(c);
  if (!loaded) return Fail(c.console, kFailed, loaded.error().message);
  KeeperLoop loop(c, std::move(loaded->memory), KeeperOptions(o, c));
  if (!loop.Begin()) return kFailed;
  const Result<void> served = link.Serve(loop);
  const bool saved = loop.End();
  if (!served) return Fail(c.console, kFailed, served.error().message);
  return saved ? kDone : kFailed;
}

int Restore(const Options& o, Context& c, Link& link) {
  if (link.Running()) {
    std::optional<RestoreReport> report = link.Restore();
    if (!report) return Fail(c.console, kFailed, "the running keeper did not answer");
    if (report->set.empty()) {
      report->set = vantrel::SetId(vantrel::SetKeys(vantrel::Displays::Take(c.system)));
    }
    return c.console.Out(RestoredLine(*report, -1)) ? kDone : kFailed;
  }
  Result<Loaded> loaded = LoadMemory(c);
  if (!loaded) return Fail(c.console, kFailed, loaded.error().message);
  if (loaded->corrupt) return kBadUsage;
  DesktopKeeper keeper(c.system, c.store, std::move(loaded->memory), KeeperOptions(o, c));
  const auto began = c.now();
  const RestoreReport report = keeper.Restore();
  const std::string lines = LayoutLine(report) + RestoredLine(report, Ms(c.now() - began));
  return c.console.Out(lines) ? kDone : kFailed;
}

int Forget(const Options& o, Context& c, Link& link) {
  if (link.Running()) {
    return link.Forget(o.all) ? kDone
                              : Fail(c.console, kFailed, "the running keeper did not answer");
  }
  Result<Loaded> loaded = LoadMemory(c);
  if (!loaded) return Fail(c.console, kFailed, loaded.error().message);
  DesktopKeeper keeper(c.system, c.store, std::move(loaded->memory), KeeperOptions(o, c));
  if (!o.all) keeper.Start(c.now());  // only to know the current set
  keeper.Forget(o.all);
  if (const Result<void> saved = Write(c, keeper.Memory()); !saved) {
    return Fail(c.console, kFailed, saved.error().message);
  }
  return kDone;
}

}  // namespace

Result<Options> ParseArguments(const std::vector<std::string_view>& args) {
  Options o;
  if (vantrel::arguments::AsksForHelp(args)) return o;
  static constexpr std::pair<std::string_view, Command> kCommands[] = {
      {"run", Command::kRun},
      {"restore", Command::kRestore},
      {"show", Command::kShow},
      {"forget", Command::kForget},
      {"stop", Command::kStop}};
  const Result<Command> command =
      vantrel::arguments::CommandOf<Command>(args, kCommands, "vantrel-keep");
  if (!command) return command.error();
  o.command = *command;
  const std::string prefix = std::string(args[0]) + ": ";
  const bool run = o.command == Command::kRun;
  const auto takes_value = [](std::string_view a) { return a == "--hold" || a == "--exclude"; };
  const auto known = [&](std::string_view a) {
    return (run && (a == "--layouts" || takes_value(a))) ||
           (o.command == Command::kForget && a == "--all");
  };
  for (std::size_t k = 1; k < args.size(); ++k) {
    if (!args[k].starts_with("--")) {
      return Bad(prefix + "unexpected argument \"" + std::string(args[k]) + "\"");
    }
    const Result<vantrel::arguments::Option> option =
        vantrel::arguments::OptionAt(args, k, prefix, known, takes_value);
    if (!option) return option.error();
    const std::string_view a = option->name;
    const std::optional<std::string_view>& value = option->value;
    if (a == "--layouts") o.layouts = true;
    if (a == "--all") o.all = true;
    if (a == "--exclude") {
      if (value->empty()) return Bad(prefix + "--exclude takes a program's file name");
      o.exclude.emplace_back(*value);
    }
    if (a == "--hold") {
      long long ms = -1;
      const char* end = value->data() + value->size();
      const auto [at, error] = std::from_chars(value->data(), end, ms);
      if (value->empty() || error != std::errc() || at != end || ms < 0 || ms > 600000) {
        return Bad(prefix + "--hold takes milliseconds from 0 to 600000, not \"" +
                   std::string(*value) + "\"");
      }
      o.hold = std::chrono::milliseconds(ms);
    }
  }
  return o;
}

std::string Usage() {
  return "usage: vantrel-keep COMMAND [OPTIONS]\n"
         "Remembers where every window was on each set of displays, and puts them back\n"
         "when that set returns.\n"
         "  run                  keeps the memory until ended (Ctrl+C, stop, log-off),\n"
         "                       one JSON line per event on stdout:\n"
         "      --layouts        remembers each set's layout too, and puts it back\n"
         "      --hold MS        how long a place must hold to be kept (default 2000)\n"
         "      --exclude NAME   leaves a program's windows alone (notepad.exe); repeatable\n"
         "  restore              puts the current set's windows back now\n"
         "  show                 the memory, as JSON (schema \"vantrel-desktop\" 1)\n"
         "  forget [--all]       forgets the current set, or every set\n"
         "  stop                 ends the running keeper, which saves first\n"
         "While a keeper runs, restore and forget go through it.\n"
         "Exit codes: 0 done, 1 failed (another keeper runs, none to stop, a file\n"
         "unwritable), 2 bad usage, or a memory's file that was none (set aside).\n";
}

Result<Loaded> LoadMemory(const Context& c) {
  auto& store = c.store;
  const Result<std::optional<std::string>> read = store.Read(vantrel::kDesktopFile);
  if (!read) return read.error();
  Loaded loaded;
  if (!*read) return loaded;
  Result<DesktopMemory> memory = vantrel::DesktopMemoryFromJson(**read);
  if (memory) {
    loaded.memory = std::move(memory).value();
    return loaded;
  }
  // Kept for whoever wants to see what was wrong, and out of the way, so
  // that the next save is not refused and the next start does not trip on it.
  const std::string aside = std::string(vantrel::kDesktopFile) + ".bad-" + c.stamp;
  if (const Result<void> kept = store.Write(aside, **read); !kept) return kept.error();
  if (const Result<void> emptied =
          store.Write(vantrel::kDesktopFile, vantrel::ToJson(DesktopMemory{}));
      !emptied) {
    return emptied.error();
  }
  Say(c.console, Named(store, vantrel::kDesktopFile) + ": " + memory.error().message +
                     "; set aside as " + aside + ", the memory starts empty");
  loaded.corrupt = true;
  return loaded;
}

// Each event one line of compact JSON, by the writer of the library's
// documents.
std::string Line(vantrel::json::Writer& j) { return j.End('}').Take() + "\n"; }

std::string StartedLine(std::string_view set, std::size_t sets) {
  vantrel::json::Writer j(false);
  j.Begin('{').Key("event").Text("started").Key("set").Text(set);
  j.Key("sets").Number(static_cast<std::int64_t>(sets));
  return Line(j);
}

std::string EndedLine(std::size_t sets, bool saved) {
  vantrel::json::Writer j(false);
  j.Begin('{').Key("event").Text("ended").Key("sets").Number(static_cast<std::int64_t>(sets));
  j.Key("saved").Bool(saved);
  return Line(j);
}

std::string RestoredLine(const RestoreReport& report, std::int64_t ms) {
  vantrel::json::Writer j(false);
  j.Begin('{').Key("event").Text("restored").Key("set").Text(report.set);
  j.Key("windows").Number(report.windows).Key("skipped").Number(report.skipped);
  if (ms >= 0) j.Key("ms").Number(ms);
  return Line(j);
}

std::string LayoutLine(const RestoreReport& report) {
  if (!report.layout) return {};
  vantrel::json::Writer j(false);
  j.Begin('{').Key("event").Text("layout").Key("set").Text(report.set);
  j.Key("outcome").Text(Word(report.layout->end));
  if (!report.layout->ok()) j.Key("message").Text(vantrel::Message(*report.layout));
  return Line(j);
}

KeeperLoop::KeeperLoop(Context& context, DesktopMemory memory, DesktopKeeper::Options options)
    : context_(context),
      keeper_(context.system, context.store, std::move(memory), std::move(options)) {}

KeeperLoop::~KeeperLoop() = default;

bool KeeperLoop::Begin() {
  vantrel::platform::Listening listening =
      context_.events.Listen(vantrel::platform::EventThread::kCallerThread, *this);
  if (!listening.listener) {
    Say(context_.console, "cannot hear the displays' events: " + listening.failure);
    return false;
  }
  listener_ = std::move(listening.listener);
  // Where the system tells of other programs' windows, the keeper reads them
  // after each event and not by the clock.
  listener_->FollowWindows();
  Apply(*first_, *listener_);
  first_.reset();
  context_.console.Out(StartedLine(keeper_.CurrentSet(), keeper_.Memory().sets.size()));
  return true;
}

// Read once the source listens, so that no change falls between the two.
void KeeperLoop::OnListening() { first_ = keeper_.Start(context_.now()); }

void KeeperLoop::OnEvent(const vantrel::platform::Event& event,
                         vantrel::platform::EventListener& listener) {
  if (ended_) return;
  try {
    switch (event.kind) {
      case vantrel::platform::EventKind::kDisplaysMayHaveChanged:
        Apply(keeper_.OnDisplaysMayHaveChanged(event.at), listener);
        return;
      case vantrel::platform::EventKind::kTimer:
        Apply(keeper_.OnTimer(event.at), listener);
        return;
      case vantrel::platform::EventKind::kWindowsMayHaveChanged:
        Apply(keeper_.OnWindowsMayHaveChanged(event.at), listener);
        return;
      default:
        return;
    }
  } catch (const std::bad_alloc&) {
    // A read failed for memory; the keeper is as it was, so try again later.
    listener.SetTimer(std::chrono::seconds(1));
  }
}

void KeeperLoop::Apply(const DesktopKeeper::Step& step,
                       vantrel::platform::EventListener& listener) {
  if (step.timer) {
    listener.SetTimer(*step.timer);
  } else {
    listener.KillTimer();
  }
  if (step.restored) Print(*step.restored, step.restore_ms);
  if (step.changed) Save();
}

void KeeperLoop::Print(const RestoreReport& report, std::int64_t ms) {
  context_.console.Out(LayoutLine(report) + RestoredLine(report, ms));
}

bool KeeperLoop::Save() {
  const Result<void> saved = Write(context_, keeper_.Memory());
  // Said once a failure begins, not at every change while it lasts.
  if (!saved && saved_) Say(context_.console, "saving the memory: " + saved.error().message);
  saved_ = static_cast<bool>(saved);
  return saved_;
}

RestoreReport KeeperLoop::Restore() {
  const auto began = context_.now();
  RestoreReport report = keeper_.Restore(began);
  Print(report, Ms(context_.now() - began));
  // Its timer again: a window maximized by a move is looked at again.
  if (listener_ && !ended_) Apply(keeper_.OnTimer(context_.now()), *listener_);
  return report;
}

void KeeperLoop::Forget(bool all) {
  keeper_.Forget(all);
  Save();
}

void KeeperLoop::RememberNow() {
  keeper_.RememberNow();
  Save();
}

void KeeperLoop::Pause() {
  keeper_.Pause();
  Save();
}

void KeeperLoop::Resume() {
  if (ended_ || !listener_) return;
  Apply(keeper_.Start(context_.now()), *listener_);
}

bool KeeperLoop::End() {
  if (ended_) return saved_;
  ended_ = true;
  keeper_.Pause();
  Save();
  if (listener_) listener_->Stop();
  context_.console.Out(EndedLine(keeper_.Memory().sets.size(), saved_));
  return saved_;
}

int Run(const Options& o, Context& c, Link& link) {
  switch (o.command) {
    case Command::kHelp:
      return c.console.Out(Usage()) ? kDone : kFailed;
    case Command::kRun:
      return RunKeeper(o, c, link);
    case Command::kRestore:
      return Restore(o, c, link);
    case Command::kShow: {
      const Result<Loaded> loaded = LoadMemory(c);
      if (!loaded) return Fail(c.console, kFailed, loaded.error().message);
      if (loaded->corrupt) return kBadUsage;
      return c.console.Out(vantrel::ToJson(loaded->memory)) ? kDone : kFailed;
    }
    case Command::kForget:
      return Forget(o, c, link);
    case Command::kStop:
      if (!link.Running()) return Fail(c.console, kFailed, "no keeper runs on this desktop");
      return link.Stop() ? kDone : Fail(c.console, kFailed, "the running keeper did not answer");
  }
  return kBadUsage;
}

}  // namespace keep_tool

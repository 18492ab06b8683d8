// What vantrel-keep does, apart from how it reaches the console and the
// other processes of the desktop: its commands and options, the memory's
// file, the keeper's loop over the event source, what it prints and the exit
// code of every outcome. The program (main.cpp, windows_link.cpp) gives it
// the console and the link to a keeper running on the desktop.
#pragma once

#include <vantrel/displays/desktop.h>
#include <vantrel/platform/event_source.h>
#include <vantrel/platform/state_store.h>
#include <vantrel/vantrel.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keep_tool {

// Exit codes.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;    // no keeper to stop, another runs, a file unwritable
inline constexpr int kBadUsage = 2;  // bad usage, or a memory's file that was none (set aside)

enum class Command { kHelp, kRun, kRestore, kShow, kForget, kStop };

struct Options {
  Command command = Command::kHelp;
  bool layouts = false;                  // run
  std::chrono::milliseconds hold{2000};  // run
  std::vector<std::string> exclude;      // run: programs' file names
  bool all = false;                      // forget
};

// The arguments after the program's name; the error's message is one line
// naming what is wrong.
vantrel::Result<Options> ParseArguments(const std::vector<std::string_view>& args);

std::string Usage();

class Console {
 public:
  virtual ~Console() = default;
  // False where the output cannot be written.
  virtual bool Out(std::string_view text) = 0;
  virtual void Err(std::string_view text) = 0;
};

// What the commands run over.
struct Context {
  Console& console;
  vantrel::platform::System& system;
  vantrel::platform::StateStore& store;
  vantrel::platform::EventSource& events;
  // The clock the keeper is told the time by: the event source's.
  std::function<vantrel::DesktopKeeper::Clock::time_point()> now;
  // Names a file set aside: "20250301-101500".
  std::string stamp;
  // Whose windows are never kept: the keeper's own console's.
  std::uint32_t own_process = 0;
};

// The memory's file read. None is an empty memory. A file that is no memory
// is kept as `desktop.json.bad-STAMP` and replaced by an empty memory, said
// on Err, and `corrupt` is set. Fails where the file cannot be read or set
// aside.
struct Loaded {
  vantrel::DesktopMemory memory;
  bool corrupt = false;
};
vantrel::Result<Loaded> LoadMemory(const Context& context);

// The one-line JSON events `run` prints.
std::string StartedLine(std::string_view set, std::size_t sets);
// Last, however it ended (stop, Ctrl+C, the console closed, the session's
// end): whether the memory was saved.
std::string EndedLine(std::size_t sets, bool saved);
std::string RestoredLine(const vantrel::RestoreReport& report, std::int64_t ms);
// Empty where no layout was put back.
std::string LayoutLine(const vantrel::RestoreReport& report);

// The keeper of `run`: a DesktopKeeper driven by the event source's events
// on the caller's thread, its memory saved at each change. Requests come on
// the same thread, from its message loop.
class KeeperLoop final : public vantrel::platform::EventHandler {
 public:
  KeeperLoop(Context& context, vantrel::DesktopMemory memory,
             vantrel::DesktopKeeper::Options options);
  ~KeeperLoop() override;

  // Listens, and prints "started". False where it cannot listen, said on Err.
  bool Begin();
  // Puts the current set's windows back now, printing as after a change.
  vantrel::RestoreReport Restore();
  void Forget(bool all);
  // Keeps every window's place now, without the hold-back; saved.
  void RememberNow();
  // The session ends: no window closing from now on is forgotten; saved.
  void Pause();
  // It did not end after all.
  void Resume();
  // Follows no more windows, saves and stops listening; once. False where
  // the last save failed.
  bool End();
  bool Ended() const noexcept { return ended_; }

  void OnListening() override;
  void OnEvent(const vantrel::platform::Event& event,
               vantrel::platform::EventListener& listener) override;

 private:
  void Apply(const vantrel::DesktopKeeper::Step& step, vantrel::platform::EventListener& listener);
  void Print(const vantrel::RestoreReport& report, std::int64_t ms);
  bool Save();

  Context& context_;
  vantrel::DesktopKeeper keeper_;
  std::optional<vantrel::DesktopKeeper::Step> first_;  // Start's, until the listener is there
  bool saved_ = true;
  bool ended_ = false;
  std::unique_ptr<vantrel::platform::EventListener> listener_;  // last: ends first
};

// A keeper of this desktop as the tool's other commands reach it, and the
// place `run` takes to be the one.
class Link {
 public:
  virtual ~Link() = default;
  // Whether a keeper answers on this desktop.
  virtual bool Running() = 0;
  // Its answer; none where it gave none in time.
  virtual std::optional<vantrel::RestoreReport> Restore() = 0;
  virtual bool Forget(bool all) = 0;
  // It saves and ends.
  virtual bool Stop() = 0;

  // Makes this process the desktop's keeper; false where another is.
  virtual bool Claim() = 0;
  // Hands `loop` the requests of other processes, Ctrl+C and the end of the
  // session, on its thread, until it has ended. Fails, at once, where they
  // cannot be heard.
  virtual vantrel::Result<void> Serve(KeeperLoop& loop) = 0;
};

// Runs a command; gives its exit code. Every failure is one line on Err.
int Run(const Options& options, Context& context, Link& link);

}  // namespace keep_tool

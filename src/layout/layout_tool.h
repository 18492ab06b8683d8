// What vantrel-layout does, apart from how it reaches the console and files:
// its commands and options, the layout `set` asks for, what it prints and
// the exit code of every outcome. The program (main.cpp) gives it the
// console, the files and the wait for an answer. Built on the public library
// alone; every change goes through the one owner, vantrel::LayoutChanger.
#pragma once

#include <vantrel/vantrel.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace layout_tool {

// Exit codes.
inline constexpr int kDone = 0;    // applied and kept, nothing to do, shown, saved
inline constexpr int kFailed = 1;  // output unwritable; the layout from before unsaved or not back
inline constexpr int kBadUsage = 2;  // bad usage, a bad file or a layout refused: nothing changed
inline constexpr int kRefused = 3;   // the system refused or gave something else: the old one back
inline constexpr int kNotKept = 4;   // not confirmed: the layout from before is back

enum class Command { kHelp, kShow, kSave, kApply, kRevert, kSet };

// What `set` changes of its display; what is not given stays.
struct SetChange {
  std::optional<vantrel::DisplayMode> mode;  // width and height; frequency 0 where none is asked
  std::optional<vantrel::Point> position;
  bool primary = false;
  std::optional<bool> attached;  // --on, --off
};

struct Options {
  Command command = Command::kHelp;
  std::string file;     // save, apply
  std::string display;  // set: a key, an adapter name or its number
  SetChange set;
  bool dry_run = false;
  bool yes = false;
  int confirm_within = 15;  // seconds
};

// The arguments after the program's name; the error's message is one line
// naming what is wrong.
vantrel::Result<Options> ParseArguments(const std::vector<std::string_view>& args);

std::string Usage();

// The display of `now` that `name` names: its key, its adapter's device
// name (both without regard to case) or the number its adapter's name ends
// in.
vantrel::Result<std::size_t> FindDisplay(const vantrel::Layout& now, std::string_view name);

// The modes an adapter's display offers, listed when asked.
using ModesOf = std::function<vantrel::OfferedModes(std::string_view adapter)>;

// The layout `set` asks for: its display as it is in `now`, changed as
// `change` says. A mode given without its frequency gets the one the display
// runs at where it offers that size there, else the highest it offers the
// size at. A display attached with --on gets the mode and position the
// system keeps for it, else its largest mode, right of the others. The
// display's modes are listed only where a mode is chosen.
vantrel::Result<vantrel::Layout> SetLayout(const vantrel::Layout& now, const ModesOf& modes_of,
                                           std::string_view display, const SetChange& change);

// How the wait for an answer to the question ended.
struct Reply {
  enum How { kLine, kEnd, kTimeout, kInterrupted } how = kEnd;
  std::string line;  // kLine: what was typed, without its line end
};

// Whether a reply keeps the new layout: a line "y" or "yes", in any case,
// spaces around it allowed.
bool Keeps(const Reply& reply);

inline constexpr std::string_view kQuestion = "Keep these display settings? [y/N] ";

// What the program gives: the console, files and the wait for an answer.
class Console {
 public:
  virtual ~Console() = default;
  // False where the output cannot be written.
  virtual bool Out(std::string_view text) = 0;
  virtual void Err(std::string_view text) = 0;
  virtual vantrel::Result<std::string> ReadFile(const std::string& path) = 0;
  virtual vantrel::Result<void> WriteFile(const std::string& path, std::string_view text) = 0;
  // Writes `question` where people see it (not on stdout) and waits up to
  // `seconds` for a line; Ctrl+C, or one that came before, ends the wait.
  virtual Reply Ask(std::string_view question, int seconds) = 0;
};

// Runs a command, every change through `changer`; gives its exit code.
// Every failure is one line on `console`'s Err.
int Run(const Options& options, Console& console, vantrel::LayoutChanger& changer);

}  // namespace layout_tool

// What vantrel-list does, apart from how it reaches the console: its
// options, the table for people, the watch and the exit code of every
// outcome. Its JSON for scripts is the library's (vantrel/displays/json.h).
// Built on the public library alone; the displays and their events are
// platform::CurrentSystem()'s and platform::CurrentEvents()'s.
#pragma once

#include <vantrel/vantrel.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace listing {

// Exit codes.
inline constexpr int kDone = 0;      // also --watch ended by Ctrl+C or a closed output
inline constexpr int kFailed = 1;    // the output could not be written, or a failure
inline constexpr int kBadUsage = 2;  // an unknown option

enum class Mode { kTable, kJson, kWatch, kHelp };

// The options after the program's name; nullopt when one is unknown or two
// modes are asked for.
std::optional<Mode> ParseOptions(const std::vector<std::string_view>& args);

std::string Usage();

// One row per display: number, name, primary, bounds, work area, scale,
// refresh rate, orientation, key.
std::string Table(const vantrel::Displays& displays);

// What the program gives: its output, its errors, and the wait of --watch.
class Console {
 public:
  virtual ~Console() = default;
  // False where the output cannot be written. From one thread at a time.
  virtual bool Out(std::string_view text) = 0;
  virtual void Err(std::string_view text) = 0;
  // Until Ctrl+C (or the console closing), or EndWait.
  virtual void Wait() = 0;
  // From any thread: Wait returns, or returns at once when it comes.
  virtual void EndWait() = 0;
};

// Runs the program with the arguments after its name; gives its exit code.
// Every failure is one line on `console`'s Err: "vantrel-list: " and why.
int Run(const std::vector<std::string_view>& args, Console& console);

}  // namespace listing

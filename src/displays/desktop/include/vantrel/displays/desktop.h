/// @file
/// The desktop's memory: where every window of every program was on each set
/// of displays, and the layout of the set, put back when that set returns
/// (undocked and docked again, monitors asleep and awake, a remote session
/// ended).
///
/// A set of displays is named by the sorted keys of the displays attached to
/// the desktop (SetKeys, SetId); each set has its own memory. A
/// DesktopKeeper follows the windows while the layout is settled, keeps a
/// place only once it has held for a hold-back with no display change
/// beginning (so the places Windows throws windows to during a change are
/// never taken for the user's), and puts every remembered window back when a
/// settled change brings a remembered set.
///
/// @code
/// vantrel::DesktopKeeper keeper(system, store, memory, {});
/// auto step = keeper.Start(now);                      // then, as they come:
/// step = keeper.OnDisplaysMayHaveChanged(event.at);   // WM_DISPLAYCHANGE and friends
/// step = keeper.OnTimer(event.at);                    // the one timer, set to step.timer
/// if (step.changed) store.Write(vantrel::kDesktopFile, vantrel::ToJson(keeper.Memory()));
/// @endcode
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/displays/apply.h"
#include "vantrel/displays/displays.h"
#include "vantrel/displays/layout.h"
#include "vantrel/displays/placement.h"
#include "vantrel/displays/result.h"
#include "vantrel/displays/watcher.h"
#include "vantrel/platform/state_store.h"
#include "vantrel/platform/system.h"

namespace vantrel {

/// How a remembered window is shown.
enum class ShowState { kNormal, kMinimized, kMaximized };

/// One window as the memory keeps it: whose it is, where and how it was.
struct KeptWindow {
  std::uintptr_t handle = 0;     ///< its handle, as a number
  std::uint32_t process_id = 0;  ///< must still match for the window to be moved
  std::uint32_t thread_id = 0;   ///< must still match for the window to be moved
  std::string image;             ///< the program's file name, "notepad.exe"
  std::string class_name;        ///< must still match for the window to be moved
  std::string title;             ///< as it was last seen
  /// Its display's key and DPI and its normal rectangle; for a window
  /// neither minimized nor maximized its window rectangle, so that a snapped
  /// window keeps its snapped place.
  WindowPlacement place;
  ShowState state = ShowState::kNormal;  ///< normal, minimized or maximized
  /// Every member equal.
  friend bool operator==(const KeptWindow&, const KeptWindow&) = default;
};

/// The memory of one set of displays.
struct DisplaySetMemory {
  std::string id;                   ///< SetId of `keys`
  std::vector<std::string> keys;    ///< the attached displays' keys, sorted
  std::vector<KeptWindow> windows;  ///< the top of the Z-order first
  /// The layout the set was last settled in, kept with
  /// DesktopKeeper::Options::layouts only.
  std::optional<Layout> layout;
  /// When the set was last the current one, in DesktopMemory::clock's
  /// count: the set with the least is dropped first.
  std::uint64_t used = 0;
  /// Every member equal.
  friend bool operator==(const DisplaySetMemory&, const DisplaySetMemory&) = default;
};

/// Every set's memory: what the keeper's file holds.
struct DesktopMemory {
  std::vector<DisplaySetMemory> sets;  ///< in no particular order
  std::uint64_t clock = 0;             ///< counts the sets made current
  /// The set of that id; null where none is remembered.
  const DisplaySetMemory* Find(std::string_view id) const;
  /// Every member equal.
  friend bool operator==(const DesktopMemory&, const DesktopMemory&) = default;
};

/// The memory's file in the state store, its schema and version.
///@{
inline constexpr std::string_view kDesktopFile = "desktop.json";
inline constexpr std::string_view kDesktopSchema = "vantrel-desktop";
inline constexpr int kDesktopSchemaVersion = 1;
///@}
/// The memory's bounds: sets beyond kMaxSets drop the least recently used,
/// windows beyond kMaxWindowsPerSet those lowest in the Z-order.
///@{
inline constexpr std::size_t kMaxSets = 32;
inline constexpr std::size_t kMaxWindowsPerSet = 256;
///@}

/// The sorted keys of the displays attached to the desktop. A display
/// without a key counts by its adapter's device name.
std::vector<std::string> SetKeys(const Displays& displays);
/// A set's name: 16 hexadecimal digits of a hash of its sorted keys.
std::string SetId(const std::vector<std::string>& keys);

/// The memory as the keeper's file holds it (schema "vantrel-desktop"
/// version 1), and back. DesktopMemoryFromJson fails with
/// ErrorCode::kInvalidArgument, saying where, for any text ToJson did not
/// write (truncated, edited, hostile); it keeps the bounds above, dropping
/// what lies beyond them.
///@{
std::string ToJson(const DesktopMemory& memory);
Result<DesktopMemory> DesktopMemoryFromJson(std::string_view text);
///@}

/// Whether the memory keeps a window: top-level, visible, not a tool
/// window, owned by none (dialogs are left out), not the shell's own (the
/// desktop, the task bars), not cloaked by its own program (a window the
/// shell cloaks on another virtual desktop is kept), not of the process
/// `own_process` (the keeper's console), and not of a program named in
/// `exclude` (file names, compared without regard to case).
bool Kept(const platform::TopWindowFacts& window, const std::string& image,
          std::uint32_t own_process, const std::vector<std::string>& exclude);

/// What one restore did.
struct RestoreReport {
  std::string set;                      ///< the set put back
  int windows = 0;                      ///< windows moved or shown otherwise
  int untouched = 0;                    ///< already where they were
  int skipped = 0;                      ///< gone, now another program's, or refusing to move
  std::optional<ChangeOutcome> layout;  ///< where the set's layout was put back first
};

/// Follows the windows and the displays, and puts a remembered set back.
/// Time is given by the caller (an event's time, a timer's), so that it runs
/// on any clock; the calls come from one thread.
class DesktopKeeper {
 public:
  /// The clock of the times given: an event's, a timer's.
  using Clock = std::chrono::steady_clock;

  /// How it keeps and restores.
  struct Options {
    /// How long a place must hold with no display change beginning before
    /// it is kept.
    std::chrono::milliseconds hold{2000};
    /// How often the windows are read where the system tells no window
    /// events (Wine).
    std::chrono::milliseconds poll{1000};
    /// How long after a window event they are read, so that a window
    /// dragged is read a few times a second, not at every pixel.
    std::chrono::milliseconds after_event{250};
    /// Programs whose windows are left out, by file name.
    std::vector<std::string> exclude;
    /// The layout of each set is remembered too, and put back once, through
    /// the one owner of display changes, when a set returns arranged
    /// otherwise.
    bool layouts = false;
    /// The keeper's own process, whose windows are left out.
    std::uint32_t own_process = 0;
    /// The settling of a display change, as the watcher's
    /// (DisplayWatcher::Options): the quiet before the layout is read, the
    /// time between two reads until two agree, and how many reads at most.
    ///@{
    std::chrono::milliseconds quiet = kDefaultQuiet;
    std::chrono::milliseconds settle_interval = kDefaultSettleInterval;
    int max_reads = kDefaultMaxReads;
    ///@}
  };

  /// What a call came to.
  struct Step {
    /// When to be called again (OnTimer), from now; empty: no timer.
    std::optional<std::chrono::milliseconds> timer;
    /// The memory changed since it was last handed out: save it.
    bool changed = false;
    /// A settled change brought a remembered set, and it was put back.
    std::optional<RestoreReport> restored;
    /// Milliseconds from the settled change to the last window placed.
    std::int64_t restore_ms = 0;
  };

  /// Over a system and a store (the store's lock serialises a layout put
  /// back with any other change of the displays), starting from `memory`.
  DesktopKeeper(platform::System& system, platform::StateStore& store, DesktopMemory memory,
                Options options);
  ~DesktopKeeper();
  DesktopKeeper(const DesktopKeeper&) = delete;
  DesktopKeeper& operator=(const DesktopKeeper&) = delete;

  /// Reads the displays and the windows; nothing is restored at start.
  Step Start(Clock::time_point now);
  /// The first sign of a display change, or another: nothing is kept from
  /// now until the layout settles, and what was seen within the hold-back
  /// before now is dropped.
  Step OnDisplaysMayHaveChanged(Clock::time_point now);
  /// A window of another program moved, or was sized, minimized, restored
  /// or shown (platform::EventKind::kWindowsMayHaveChanged). Once one such
  /// event came, the system is taken to tell them: the windows are read a
  /// moment after each, and no more by a timer.
  Step OnWindowsMayHaveChanged(Clock::time_point now);
  /// The timer: the settling goes on, or the windows are read.
  Step OnTimer(Clock::time_point now);
  /// Puts the current set's windows back now; `now` on the clock of the
  /// other calls' times (a window maximized by a move is looked at again,
  /// on the timer, from then).
  RestoreReport Restore(Clock::time_point now = Clock::now());
  /// Keeps every window's place now, without the hold-back: what a program
  /// calls when it knows the displays are about to go.
  void RememberNow();
  /// Forgets the current set, or every set.
  void Forget(bool all);
  /// Stops following the windows until Start again: at the end of the
  /// user's session, windows that close are not forgotten.
  void Pause();

  /// The memory as it is now.
  const DesktopMemory& Memory() const noexcept { return memory_; }
  /// The current set's id.
  const std::string& CurrentSet() const noexcept { return current_; }

 private:
  struct State;
  // The windows read; places seen new start their hold-back.
  void Poll(Clock::time_point now);
  // Keeps the places that have held for the hold-back.
  void Commit(Clock::time_point now);
  // A settled change: the set that came, put back where it is remembered.
  Step Arrived(Clock::time_point now);
  Step Finish(std::optional<std::chrono::milliseconds> timer, Step out);
  // While settling: the settler's timer, kept to answer other events with.
  Step Settling(Clock::time_point now, std::optional<std::chrono::milliseconds> timer);
  // While settled: until the next read, the next place to keep, or the next
  // look at a window maximized by a move.
  std::optional<std::chrono::milliseconds> NextDue(Clock::time_point now) const;
  // Maximizes again a window restored maximized that the system un-maximized.
  void LookAgain(Clock::time_point now);

  platform::System& system_;
  platform::StateStore& store_;
  DesktopMemory memory_;
  Options options_;
  std::string current_;
  std::unique_ptr<State> state_;
};

}  // namespace vantrel

/// @file
/// Telling a program when its displays change.
///
/// @code
/// vantrel::DisplayWatcher watcher([](const vantrel::DisplayChanges& c) {
///   for (const vantrel::Display& d : c.added) { /* ... */ }
/// });
/// @endcode
///
/// The watcher hears of a change through the seam's event source
/// (platform::EventSource): on Windows a hidden top-level window (message-only
/// windows get no broadcasts) receiving WM_DISPLAYCHANGE, WM_DPICHANGED, and
/// WM_SETTINGCHANGE with SPI_SETWORKAREA or SPI_SETLOGICALDPIOVERRIDE. Windows
/// sends WM_DPICHANGED only to the windows of per-monitor aware threads on the
/// display whose scale changed, and tells the others with the rest, so each of
/// them counts only as "maybe changed": the difference of two snapshots
/// decides. It then settles: it waits until the messages stop for a moment (a
/// burst of messages gives one event), then reads until two whole reads
/// agree, since right after a change the platform may report a half-applied
/// layout (see Options). Idle, it does nothing: no timer, no polling.
///
/// Both build on every system; away from Windows the running event source
/// hears nothing, so a watcher there tells only of what a source given with
/// platform::UseEvents tells it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/result.h"
#include "vantrel/platform/event_source.h"

namespace vantrel {

/// The watcher's defaults (DisplayWatcher::Options): how long messages must
/// stop before the layout is read, the time between two reads until two
/// whole ones agree, and how many reads at most.
///@{
inline constexpr std::chrono::milliseconds kDefaultQuiet{100};
inline constexpr std::chrono::milliseconds kDefaultSettleInterval{50};
inline constexpr int kDefaultMaxReads = 20;
///@}

/// Which facts of a display changed.
enum class ChangedFacts : std::uint32_t {
  kNone = 0,            ///< none
  kBounds = 1u << 0,    ///< moved or resized
  kWorkArea = 1u << 1,  ///< task bars came, went or moved
  kScale = 1u << 2,     ///< DPI
  kMode = 1u << 3,      ///< resolution, bits, frequency or orientation
  kPrimary = 1u << 4,   ///< became or stopped being the primary
  kOther = 1u << 5,     ///< anything else: name, connection, the list of modes, the clones
};
/// The facts in either set, and the facts in both.
///@{
constexpr ChangedFacts operator|(ChangedFacts a, ChangedFacts b) noexcept {
  return static_cast<ChangedFacts>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr ChangedFacts operator&(ChangedFacts a, ChangedFacts b) noexcept {
  return static_cast<ChangedFacts>(static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b));
}
///@}
/// Whether the set holds any fact.
constexpr bool Any(ChangedFacts facts) noexcept { return facts != ChangedFacts::kNone; }

/// One display that changed: as it was, as it is, and which facts differ.
struct DisplayChange {
  Display before;                            ///< in the earlier snapshot
  Display after;                             ///< in the later one
  ChangedFacts facts = ChangedFacts::kNone;  ///< what differs; never kNone in a DisplayChanges
};

/// How far the watcher could trust the layout it tells of.
enum class Settling {
  /// Two whole reads agreed on it, a settle interval or more apart, with
  /// only half-applied reads between them.
  kSettled,
  /// The reads ran out (Options::max_reads) before two whole reads agreed:
  /// `now` is the last whole read, which the layout may already have left.
  kUnconfirmed,
  /// The reads ran out and none was whole: `now` is the last read, taken
  /// while the platform was applying a change. Bounds and work areas are as
  /// the platform had them then; what DisplayConfig gives (friendly names,
  /// keys, connection, exact refresh rates) or a display's mode in use may be
  /// missing or stand-ins.
  kHalfApplied,
};

/// The difference of two snapshots, display by display, matched by key.
struct DisplayChanges {
  std::vector<Display> added;              ///< in the order of `now`
  std::vector<Display> removed;            ///< in the order of the earlier snapshot
  std::vector<DisplayChange> changed;      ///< in the order of `now`
  Displays now;                            ///< the snapshot the change led to
  Settling settling = Settling::kSettled;  ///< from the watcher; Difference leaves it kSettled
  /// Whether no display was added, removed or changed.
  bool empty() const noexcept { return added.empty() && removed.empty() && changed.empty(); }
};

/// The changes from `before` to `after`. Displays are matched by key;
/// should a snapshot hold one key twice, the first with that key in one is
/// matched with the first in the other, and so on. A display counts as
/// changed when any of its members differs, the handle included (kOther), so
/// `facts` is kNone exactly when before == after. A change of order alone is
/// no change.
DisplayChanges Difference(const Displays& before, const Displays& after);

/// Calls a program back with each change of its displays, from when it is
/// made until it is stopped or destroyed.
class DisplayWatcher {
 public:
  /// What the watcher calls with each change.
  /// The callback must not throw: an exception leaving it ends the program
  /// (std::terminate), as it would otherwise cross the event source's wait
  /// (on Windows, the window procedure).
  /// While it runs, the watcher's window answers no message, so a program
  /// that changes the layout from another thread waits for it.
  using Callback = std::function<void(const DisplayChanges&)>;

  /// How the watcher runs: where the callback runs, how long it waits and
  /// reads, and what a snapshot reads.
  struct Options {
    /// Where the callback runs:
    ///  - kOwnThread: the watcher's own thread, started with the watcher;
    ///  - kCallerThread: the thread that starts the watcher, from within
    ///    that thread's message loop, which the program must run (GetMessage
    ///    and DispatchMessage). A modal loop (a message box) runs it too.
    ///
    /// The own thread is per-monitor DPI aware where the system allows it, so
    /// its snapshots are in physical pixels whatever the program's awareness.
    ///@{
    enum class Thread { kOwnThread, kCallerThread } thread = Thread::kOwnThread;
    ///@}
    /// How long the messages must stop before the layout is read.
    std::chrono::milliseconds quiet = kDefaultQuiet;
    /// The time between two reads until two whole ones agree, and how many
    /// reads at most. A read is half-applied, and counts as failed, when
    /// against the layout last told DisplayConfig fails where it answered, or
    /// a display lacks its DisplayConfig path (its friendly name), its
    /// monitor's key or its mode in use where it had them (a display new to
    /// the layout: where another display has them). When the reads run out
    /// the event says so (DisplayChanges::settling) and the watcher reads no
    /// more until the next message.
    ///@{
    std::chrono::milliseconds settle_interval = kDefaultSettleInterval;
    int max_reads = kDefaultMaxReads;
    ///@}
    /// What the layout told carries. Without modes (the default)
    /// Display::modes is empty in every event and in Current(), and a change
    /// of the modes a display offers, and nothing else, is not told. The mode
    /// in use is read all the same, so a change of it is told (kMode). With
    /// modes, the settling reads still go without them (under Wine on three
    /// displays the mode list is nearly all of a snapshot's time: tens of
    /// milliseconds against a few): a layout's modes are read right after
    /// its first whole read, and it is told once a whole read after them
    /// agrees; should it have moved meanwhile, the reads go on.
    SnapshotOptions snapshot{.modes = false};
  };

  /// Starts listening on the current system (platform::CurrentSystem()) and
  /// event source (platform::CurrentEvents()); the first snapshot is taken
  /// here, once the source listens (so no change falls between the two), and
  /// changes are told against it. Without `options`, the defaults. Where the
  /// source cannot listen (on Windows, the window or the thread cannot be
  /// made) the Error is ErrorCode::kSystem, with GetLastError's code and the
  /// call that failed: "CreateWindowExW failed (system error 8)".
  ///@{
  static Result<std::unique_ptr<DisplayWatcher>> Start(Callback callback);
  static Result<std::unique_ptr<DisplayWatcher>> Start(Callback callback, Options options);
  ///@}

  /// As Start, for programs written against 1.x: throws the Error as
  /// vantrel::Exception.
  ///@{
  explicit DisplayWatcher(Callback callback);
  DisplayWatcher(Callback callback, Options options);
  ///@}
  DisplayWatcher(const DisplayWatcher&) = delete;
  DisplayWatcher& operator=(const DisplayWatcher&) = delete;
  /// Stops. Not from inside the callback.
  ~DisplayWatcher();

  /// Ends the watcher's listening (its window and thread); no callback runs
  /// once it returns.
  /// A second call does nothing. With kCallerThread, call it from the
  /// starting thread (from another it waits until that thread next takes
  /// a message). Not from inside the callback.
  void Stop() noexcept;

  /// The snapshot the last event delivered led to, from when its callback
  /// has returned (before the first event, the one read at the start; after a
  /// burst that changed nothing, the snapshot read then). So a program that prints
  /// Current() and then each event never prints one change twice: an event
  /// whose callback is still to return is not in Current() yet. From any
  /// thread.
  Displays Current() const;

  /// How many times the watcher has been woken (an event of its source, on
  /// Windows a message to its window) since construction: 0 while nothing
  /// changes. From any thread.
  std::uint64_t Wakeups() const noexcept;

 protected:
  /// Over another system than the current one, and with `events` another
  /// event source (for tests): each must outlive the watcher, and the system
  /// answer from any thread. Throws as the public constructors.
  ///@{
  DisplayWatcher(platform::System& system, Callback callback, Options options);
  DisplayWatcher(platform::System& system, platform::EventSource& events, Callback callback,
                 Options options);
  ///@}
  /// Start over another system and event source (for tests).
  static Result<std::unique_ptr<DisplayWatcher>> Start(platform::System& system,
                                                       platform::EventSource& events,
                                                       Callback callback, Options options);

 private:
  struct State;
  struct Unstarted {};
  DisplayWatcher(Unstarted, platform::System& system, platform::EventSource& events,
                 Callback callback, Options options);
  std::unique_ptr<State> state_;
};

}  // namespace vantrel

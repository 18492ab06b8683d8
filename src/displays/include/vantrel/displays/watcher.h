// Telling a program when its displays change.
//
//   vantrel::DisplayWatcher watcher([](const vantrel::DisplayChanges& c) {
//     for (const vantrel::Display& d : c.added) { /* ... */ }
//   });
//
// The watcher listens where Windows tells of a change: a hidden top-level
// window (message-only windows get no broadcasts) receiving WM_DISPLAYCHANGE,
// and WM_SETTINGCHANGE with SPI_SETWORKAREA. It then settles: it waits until
// the messages stop for a moment (a burst of messages gives one event), then
// takes snapshots until two in a row agree, since right after a change the
// platform may report a half-updated layout. Idle, it does nothing: no
// timer, no polling.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "vantrel/displays/displays.h"

namespace vantrel {

// Which facts of a display changed.
enum class ChangedFacts : std::uint32_t {
  kNone = 0,
  kBounds = 1u << 0,    // moved or resized
  kWorkArea = 1u << 1,  // task bars came, went or moved
  kScale = 1u << 2,     // DPI
  kMode = 1u << 3,      // resolution, bits, frequency or orientation
  kPrimary = 1u << 4,   // became or stopped being the primary
  kOther = 1u << 5,     // anything else: name, connection, the list of modes
};
constexpr ChangedFacts operator|(ChangedFacts a, ChangedFacts b) noexcept {
  return static_cast<ChangedFacts>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr ChangedFacts operator&(ChangedFacts a, ChangedFacts b) noexcept {
  return static_cast<ChangedFacts>(static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b));
}
constexpr bool Any(ChangedFacts facts) noexcept { return facts != ChangedFacts::kNone; }

struct DisplayChange {
  Display before;
  Display after;
  ChangedFacts facts = ChangedFacts::kNone;
};

// The difference of two snapshots, display by display, matched by key.
struct DisplayChanges {
  std::vector<Display> added;
  std::vector<Display> removed;
  std::vector<DisplayChange> changed;
  Displays now;  // the snapshot the change led to
  bool empty() const noexcept { return added.empty() && removed.empty() && changed.empty(); }
};

DisplayChanges Difference(const Displays& before, const Displays& after);

class DisplayWatcher {
 public:
  using Callback = std::function<void(const DisplayChanges&)>;

  struct Options {
    // Where the callback runs:
    //  - kOwnThread: the watcher's own thread, started by the constructor;
    //  - kCallerThread: the thread that constructs the watcher, from within
    //    that thread's message loop, which the program must run (GetMessage
    //    and DispatchMessage).
    enum class Thread { kOwnThread, kCallerThread } thread = Thread::kOwnThread;
    // How long the messages must stop before the layout is read.
    std::chrono::milliseconds quiet{100};
    // The time between two reads while they disagree, and how many reads at
    // most before the last one is taken as it is.
    std::chrono::milliseconds settle_interval{50};
    int max_reads = 20;
  };

  // Starts listening; the first snapshot is taken here, and changes are told
  // against it. Throws vantrel::Failure when the window or the thread cannot
  // be made.
  explicit DisplayWatcher(Callback callback);
  DisplayWatcher(Callback callback, Options options);
  DisplayWatcher(const DisplayWatcher&) = delete;
  DisplayWatcher& operator=(const DisplayWatcher&) = delete;
  // Stops.
  ~DisplayWatcher();

  // Ends the watcher's window and thread; no callback runs once it returns.
  // Call it from the constructing thread with kCallerThread. Not from inside
  // the callback.
  void Stop() noexcept;

  // The snapshot the last event (or the constructor) led to.
  Displays Current() const;

  // How many times the watcher's window has been woken (a message reached
  // it) since construction: 0 while nothing changes.
  std::uint64_t Wakeups() const noexcept;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vantrel

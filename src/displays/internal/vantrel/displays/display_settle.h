// Settling after a display change, apart from any window or timer so that it
// runs anywhere. The owner hands it each change message and each timer tick,
// with the time; it answers when the one timer must fire next (or that none
// is needed) and, once the layout has settled, what changed.
//
//   message  ->  wait until messages have stopped for `quiet`
//            ->  read, then read again every `interval` until two reads in a
//                row agree (at most `max_reads`, the last taken as it is)
//            ->  the difference against the last settled snapshot, if any
//
// A message while reading starts the wait again: the layout is still moving.
// The reader is called from OnTimer only; an exception from it leaves the
// settler as it was, to be ticked again.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/watcher.h"

namespace vantrel {

struct SettleTiming {
  std::chrono::milliseconds quiet{100};
  std::chrono::milliseconds interval{50};
  int max_reads = 20;  // fewer than 1 counts as 1
};

class DisplaySettler {
 public:
  using Clock = std::chrono::steady_clock;
  using Reader = std::function<Displays()>;

  struct Step {
    // Set: (re)arm the timer to fire this long from now. Empty: stop it.
    std::optional<std::chrono::milliseconds> timer;
    // The layout has settled: Current() is the snapshot read last.
    bool settled = false;
    // What changed, when something did.
    std::optional<DisplayChanges> changes;
  };

  DisplaySettler(Displays current, Reader reader, SettleTiming timing);

  Step OnMessage(Clock::time_point now);
  // A tick before its time (or with nothing to do) only re-arms (or stops)
  // the timer, so a late or stray tick does no harm.
  Step OnTimer(Clock::time_point now);

  const Displays& Current() const noexcept { return current_; }
  bool Idle() const noexcept { return phase_ == Phase::kIdle; }

 private:
  enum class Phase { kIdle, kQuiet, kReading };

  Displays current_;
  Reader reader_;
  SettleTiming timing_;
  Phase phase_ = Phase::kIdle;
  Clock::time_point due_{};
  std::optional<Displays> last_read_;
  int reads_ = 0;
};

}  // namespace vantrel

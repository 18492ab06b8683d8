// Settling after a display change, apart from any window or timer so that it
// runs anywhere. The owner hands it each change message and each timer tick,
// with the time; it answers when the one timer must fire next (or that none
// is needed) and, once the layout has settled, what changed.
//
//   message  ->  wait until messages have stopped for `quiet`
//            ->  read, then read again every `interval` until two whole reads
//                agree (at most `max_reads`)
//            ->  the difference against the last settled read, if any
//
// A half-applied read (HalfApplied) counts as failed: it neither agrees nor
// disagrees. When the reads run out, the last whole read is taken, else the
// last read, and the changes say so (DisplayChanges::settling).
//
// With a modes reader, the layout told has the modes each display offers,
// which cost most of a read: the settling reads go without them. A layout's
// modes are read right after its first whole read, so the whole read that
// agrees with it, with only half-applied reads between, tells that nothing
// moved while they were read; a whole read that disagrees has its own read.
// So they are read once for a layout that holds. A layout taken as the reads
// run out without them has them read then.
//
// A message while reading starts the wait again: the layout is still moving.
// The readers are called from OnTimer only; an exception from one leaves the
// settler as it was, to be ticked again.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "vantrel/displays/display_read.h"
#include "vantrel/displays/displays.h"
#include "vantrel/displays/watcher.h"

namespace vantrel {

struct SettleTiming {
  std::chrono::milliseconds quiet = kDefaultQuiet;
  std::chrono::milliseconds interval = kDefaultSettleInterval;
  int max_reads = kDefaultMaxReads;  // fewer than 1 counts as 1
};

// A read taken while the platform is still applying a change, judged against
// the last settled one: DisplayConfig fails where it answered then, or a
// display lacks a DisplayConfig path, a monitor's key or its mode in use
// that it had then (a display not there then: that another display of the
// read has). Against what the same display had, so that a system that never
// gives a fact is not taken for one halfway through a change.
bool HalfApplied(const DisplaysRead& read, const DisplaysRead& settled);

class DisplaySettler {
 public:
  using Clock = std::chrono::steady_clock;
  using Reader = std::function<DisplaysRead()>;
  // The displays, each with the modes it offers.
  using ModesReader = std::function<Displays(const Displays&)>;

  struct Step {
    // Set: (re)arm the timer to fire this long from now. Empty: stop it.
    std::optional<std::chrono::milliseconds> timer;
    // The layout has settled: Current() is the read taken.
    bool settled = false;
    // What changed, when something did.
    std::optional<DisplayChanges> changes;
  };

  // Without a modes reader the layout told has the modes the reads have;
  // with one, `current` must have them.
  DisplaySettler(DisplaysRead current, Reader reader, SettleTiming timing,
                 ModesReader modes_reader = {});

  Step OnMessage(Clock::time_point now);
  // A tick before its time (or with nothing to do) only re-arms (or stops)
  // the timer, so a late or stray tick does no harm.
  Step OnTimer(Clock::time_point now);

  const Displays& Current() const noexcept { return current_.displays; }
  bool Idle() const noexcept { return phase_ == Phase::kIdle; }

 private:
  enum class Phase { kIdle, kQuiet, kReading };

  DisplaysRead current_;
  Reader reader_;
  ModesReader modes_reader_;
  SettleTiming timing_;
  Phase phase_ = Phase::kIdle;
  Clock::time_point due_{};
  std::optional<DisplaysRead> last_whole_;  // of this settling
  std::optional<Displays> modes_;           // its layout with modes, read while it held
  int reads_ = 0;
};

}  // namespace vantrel

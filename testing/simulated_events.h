// The simulated twin of the seam's event source: a test tells of events,
// moves a clock of the source's own on (each event carries its time, so the
// watcher settles on it), and the timer fires when the clock reaches it. No
// real time passes.
//
//   SimulatedEvents events;
//   auto watcher = WatcherOverFacts::Start(system, events, callback, options);
//   system.Change(...);
//   events.Tell();                   // the displays may have changed
//   events.Advance(150ms);           // the timer fires, the watcher reads
//
// A listener's handler runs where the real one's would: kOwnThread on a
// thread of the source's, and Tell and Advance return once it has handled
// each event; kCallerThread on the listening thread when it pumps (Pump, or
// Tell and Advance called there), as the program's message loop would. One
// listener at a time; the source must outlive it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "vantrel/platform/event_source.h"

namespace vantrel::platform {

class SimulatedEvents final : public EventSource {
 public:
  using Clock = std::chrono::steady_clock;

  // From now on Listen fails as a system call that failed.
  void FailListening(std::uint32_t system_error, std::string failure);

  Listening Listen(EventThread thread, EventHandler& handler) override;

  // An event of `kind`, at the source's time.
  void Tell(EventKind kind = EventKind::kDisplaysMayHaveChanged);
  // Moves the clock on by `by`, firing the timer each time it falls due.
  void Advance(std::chrono::milliseconds by);
  // kCallerThread, on the listening thread: handles what was told since, and
  // a Stop asked from another thread.
  void Pump();

  Clock::time_point Now() const;
  // When the timer falls due, when set.
  std::optional<Clock::time_point> TimerDue() const;
  // Whether a listener listens, not yet stopped.
  bool IsListening() const;

 private:
  class Listener;
  friend class Listener;

  // Under `mutex_`; waits until an own thread has handled it, or handles it
  // here on the listening thread.
  void Deliver(std::unique_lock<std::mutex>& lock, Event event);
  void RunOwnThread(EventHandler& handler, EventListener& listener);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  Clock::time_point now_ = Clock::time_point(std::chrono::hours(1));
  std::optional<Clock::time_point> timer_;
  std::optional<Listening> failing_;

  EventThread thread_ = EventThread::kOwnThread;
  EventHandler* handler_ = nullptr;
  Listener* listener_ = nullptr;
  std::thread::id listening_thread_;
  std::deque<Event> queue_;
  std::uint64_t told_ = 0;
  std::uint64_t handled_ = 0;
  bool stop_asked_ = false;
  bool listening_ = false;
};

}  // namespace vantrel::platform

/// @file
/// Where the library hears of the system's events: the seam's second port,
/// beside System. A listener waits on one wait, on a thread of its own or on
/// the program's (whose message loop then runs it), and hands each event to
/// a handler: "the displays may have changed", the one timer falling due,
/// and anything else that woke it. Later kinds (a window's events, the end
/// of the user's session) come on the same wait, so a handler passes over
/// any kind it does not know.
///
/// One implementation is a hidden window of Windows; the simulated one in
/// the project's testing library stands in for it in tests, with a clock of
/// its own. The library uses CurrentEvents(), which UseEvents replaces.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace vantrel::platform {

/// What woke a listener.
enum class EventKind : std::uint32_t {
  /// The displays may have changed: WM_DISPLAYCHANGE, WM_DPICHANGED, or
  /// WM_SETTINGCHANGE with SPI_SETWORKAREA or SPI_SETLOGICALDPIOVERRIDE.
  /// Only "maybe": another read decides.
  kDisplaysMayHaveChanged = 1,
  /// The timer set through EventListener::SetTimer fell due.
  kTimer = 2,
  /// Anything else that reached the listener: a broadcast of another
  /// setting, a message of the system's own.
  kOther = 3,
  /// With EventListener::FollowWindows: a top-level window of another
  /// program was moved, sized, minimized, restored or shown. Only "maybe",
  /// as for the displays; a system that tells none (Wine) is read by a poll.
  kWindowsMayHaveChanged = 4,
};

/// One event, with the time it was taken from the wait.
struct Event {
  EventKind kind = EventKind::kOther;        ///< what woke the listener
  std::chrono::steady_clock::time_point at;  ///< when, on the source's clock
};

/// Where a listener's handler runs.
enum class EventThread {
  kOwnThread,     ///< a thread the listener starts and ends
  kCallerThread,  ///< the thread that listens, from within its message loop
};

/// The one timer and the end of a listener.
class EventListener {
 public:
  /// Stops.
  virtual ~EventListener() = default;
  /// Makes the timer fall due `after` from now, once (set again, it is moved).
  /// From the handler's thread.
  virtual void SetTimer(std::chrono::milliseconds after) = 0;
  /// Takes the timer back, if set. From the handler's thread.
  virtual void KillTimer() = 0;
  /// From now on hands on kWindowsMayHaveChanged where the system tells of
  /// other programs' windows (on Windows, WinEvent hooks); false where it
  /// cannot. From the handler's thread.
  virtual bool FollowWindows() { return false; }
  /// Ends the wait: once it returns no handler call runs, and an own thread
  /// has ended. A second call does nothing. From any thread but from inside
  /// the handler; with kCallerThread, from another thread it waits until
  /// the listening thread next takes a message.
  virtual void Stop() noexcept = 0;
};

/// What a listener calls, always on its one thread. It must outlive the
/// listener.
class EventHandler {
 public:
  virtual ~EventHandler() = default;
  /// kOwnThread only: the first thing the new thread does, before it
  /// listens (what the thread must be before its window is made).
  virtual void OnOwnThread() {}
  /// Once events are heard and before any is handed on; an exception leaving
  /// it ends the listener and comes out of EventSource::Listen.
  virtual void OnListening() {}
  /// Each event. A kind the handler does not know is passed over.
  virtual void OnEvent(const Event& event, EventListener& listener) = 0;
};

/// A listener, or why none could be made.
struct Listening {
  std::unique_ptr<EventListener> listener;  ///< null where it failed
  std::uint32_t system_error = 0;           ///< GetLastError's code of the call that failed
  std::string failure;  ///< one line naming what failed: "CreateWindowExW failed (system error 8)"
};

/// The events of the system the library runs on.
class EventSource {
 public:
  virtual ~EventSource() = default;
  /// Starts listening for `handler`, on `thread`. Returns once OnListening
  /// has returned; an exception from the handler's OnOwnThread or
  /// OnListening comes out of it. A system call that fails is told in the
  /// answer, not thrown.
  virtual Listening Listen(EventThread thread, EventHandler& handler) = 0;
};

/// The event source the library uses now: the one given to UseEvents, else
/// the running one (on Windows, a hidden window's; elsewhere one that hears
/// nothing).
EventSource& CurrentEvents() noexcept;
/// Makes `events` the one the whole process uses from now on (tests, or a
/// program that replays); null puts the running one back. It must outlive
/// its use.
void UseEvents(EventSource* events) noexcept;

#ifdef _WIN32
/// The running Windows source: each listener a hidden top-level window
/// (message-only windows get no broadcasts), on its thread.
EventSource& WindowEvents() noexcept;
#endif

}  // namespace vantrel::platform

// The watcher: the settler driven by the events of the seam's event source,
// which gives it the changes, the one timer and the time of each.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <utility>

#include "vantrel/displays/display_read.h"
#include "vantrel/displays/display_settle.h"
#include "vantrel/displays/watcher.h"
#include "vantrel/platform/event_source.h"
#include "vantrel/platform/system.h"

namespace vantrel {

struct DisplayWatcher::State final : platform::EventHandler {
  State(platform::System& s, platform::EventSource& e, Callback c, Options o)
      : system(s), events(e), callback(std::move(c)), options(o) {}

  Result<void> Begin();
  // The listening thread.
  void OnOwnThread() override;
  void OnListening() override;
  void OnEvent(const platform::Event& event, platform::EventListener& listener) override;
  void Apply(platform::EventListener& listener, DisplaySettler::Step step);
  void Deliver(const DisplayChanges& changes) noexcept { callback(changes); }
  DisplaysRead Read() { return ReadDisplays(system, {.modes = false}); }

  platform::System& system;
  platform::EventSource& events;
  const Callback callback;
  const Options options;

  std::atomic<std::uint64_t> wakeups{0};
  std::atomic<bool> stopping{false};
  mutable std::mutex mutex;
  Displays current;  // under `mutex`: what Current() answers

  // The listening thread only.
  std::optional<DisplaySettler> settler;

  // Last, so that it ends before what its handler uses.
  std::unique_ptr<platform::EventListener> listener;
};

Result<void> DisplayWatcher::State::Begin() {
  const platform::EventThread thread = options.thread == Options::Thread::kCallerThread
                                           ? platform::EventThread::kCallerThread
                                           : platform::EventThread::kOwnThread;
  platform::Listening listening = events.Listen(thread, *this);
  if (!listening.listener) {
    return Error{ErrorCode::kSystem, listening.system_error, std::move(listening.failure)};
  }
  listener = std::move(listening.listener);
  return {};
}

// The thread is the watcher's: it stays per-monitor aware to its end, and
// its window takes that awareness from it.
void DisplayWatcher::State::OnOwnThread() { system.EnterPerMonitorAware(); }

// The first snapshot is read once the source listens, so no change falls
// between the two; events are handed on only once the settler is there.
void DisplayWatcher::State::OnListening() {
  DisplaysRead first = ReadDisplays(system, options.snapshot);
  current = first.displays;
  // The settling reads go without modes; those told have them when asked.
  DisplaySettler::ModesReader modes;
  if (options.snapshot.modes) modes = [this](const Displays& d) { return ReadModes(system, d); };
  settler.emplace(
      std::move(first), [this] { return Read(); },
      SettleTiming{options.quiet, options.settle_interval, options.max_reads}, std::move(modes));
}

void DisplayWatcher::State::OnEvent(const platform::Event& event, platform::EventListener& on) {
  wakeups.fetch_add(1, std::memory_order_relaxed);
  switch (event.kind) {
    case platform::EventKind::kDisplaysMayHaveChanged:
      Apply(on, settler->OnMessage(event.at));
      return;
    case platform::EventKind::kTimer:
      try {
        Apply(on, settler->OnTimer(event.at));
      } catch (const std::bad_alloc&) {
        // The read failed; the settler is as it was, so try again later.
        on.SetTimer(options.settle_interval);
      }
      return;
    default:
      return;  // it only woke the watcher
  }
}

void DisplayWatcher::State::Apply(platform::EventListener& on, DisplaySettler::Step step) {
  if (step.timer) {
    on.SetTimer(*step.timer);
  } else {
    on.KillTimer();
  }
  if (!step.settled) return;
  if (step.changes && !stopping.load()) Deliver(*step.changes);
  // Only now: a program that printed Current() while the callback ran must
  // not find the change in it as well.
  std::lock_guard lock(mutex);
  current = settler->Current();
}

DisplayWatcher::DisplayWatcher(Unstarted, platform::System& system, platform::EventSource& events,
                               Callback callback, Options options)
    : state_(std::make_unique<State>(system, events, std::move(callback), options)) {}

DisplayWatcher::DisplayWatcher(Callback callback)
    : DisplayWatcher(std::move(callback), Options{}) {}

DisplayWatcher::DisplayWatcher(Callback callback, Options options)
    : DisplayWatcher(platform::CurrentSystem(), platform::CurrentEvents(), std::move(callback),
                     options) {}

DisplayWatcher::DisplayWatcher(platform::System& system, Callback callback, Options options)
    : DisplayWatcher(system, platform::CurrentEvents(), std::move(callback), options) {}

DisplayWatcher::DisplayWatcher(platform::System& system, platform::EventSource& events,
                               Callback callback, Options options)
    : DisplayWatcher(Unstarted{}, system, events, std::move(callback), options) {
  state_->Begin().value();
}

Result<std::unique_ptr<DisplayWatcher>> DisplayWatcher::Start(Callback callback) {
  return Start(std::move(callback), Options{});
}

Result<std::unique_ptr<DisplayWatcher>> DisplayWatcher::Start(Callback callback, Options options) {
  return Start(platform::CurrentSystem(), platform::CurrentEvents(), std::move(callback), options);
}

Result<std::unique_ptr<DisplayWatcher>> DisplayWatcher::Start(platform::System& system,
                                                              platform::EventSource& events,
                                                              Callback callback, Options options) {
  std::unique_ptr<DisplayWatcher> watcher(
      new DisplayWatcher(Unstarted{}, system, events, std::move(callback), options));
  if (Result<void> begun = watcher->state_->Begin(); !begun) return begun.error();
  return watcher;
}

DisplayWatcher::~DisplayWatcher() { Stop(); }

void DisplayWatcher::Stop() noexcept {
  state_->stopping.store(true);
  if (state_->listener) state_->listener->Stop();
}

Displays DisplayWatcher::Current() const {
  std::lock_guard lock(state_->mutex);
  return state_->current;
}

std::uint64_t DisplayWatcher::Wakeups() const noexcept {
  return state_->wakeups.load(std::memory_order_relaxed);
}

}  // namespace vantrel

// The process's one event source.
#include "vantrel/platform/event_source.h"

#include "vantrel/base/current_port.h"

#ifndef _WIN32
#include <exception>
#include <thread>
#endif

namespace vantrel::platform {

#ifndef _WIN32
namespace {

// Away from Windows nothing happens: a listener that is told nothing, its
// handler set up on the thread it asked for.
class QuietListener final : public EventListener {
 public:
  void SetTimer(std::chrono::milliseconds) override {}
  void KillTimer() override {}
  void Stop() noexcept override {}
};

class NoEvents final : public EventSource {
 public:
  Listening Listen(EventThread thread, EventHandler& handler) override {
    if (thread == EventThread::kCallerThread) {
      handler.OnListening();
    } else {
      // The thread's setup runs where it was asked to, not on the caller's;
      // with nothing to wait for, the thread ends there.
      std::exception_ptr failed;
      std::thread([&] {
        try {
          handler.OnOwnThread();
          handler.OnListening();
        } catch (...) {
          failed = std::current_exception();
        }
      }).join();
      if (failed) std::rethrow_exception(failed);
    }
    return {std::make_unique<QuietListener>(), 0, {}};
  }
};
}  // namespace

// Never destroyed: a watcher may stop from another static's destructor.
template <>
EventSource& RunningPort<EventSource>() noexcept {
  static EventSource* const quiet = new NoEvents;
  return *quiet;
}

#endif

EventSource& CurrentEvents() noexcept { return CurrentPort<EventSource>(); }

void UseEvents(EventSource* events) noexcept { chosen_port<EventSource>.store(events); }

}  // namespace vantrel::platform

#include "simulated_events.h"

#include <future>
#include <memory>
#include <utility>

namespace vantrel::platform {

class SimulatedEvents::Listener final : public EventListener {
 public:
  explicit Listener(SimulatedEvents& source) : source_(source) {}
  ~Listener() override { Stop(); }

  void SetTimer(std::chrono::milliseconds after) override {
    const std::lock_guard lock(source_.mutex_);
    source_.timer_ = source_.now_ + after;
  }
  void KillTimer() override {
    const std::lock_guard lock(source_.mutex_);
    source_.timer_.reset();
  }
  void Stop() noexcept override {
    std::unique_lock lock(source_.mutex_);
    if (source_.listener_ != this) return;
    if (source_.thread_ == EventThread::kCallerThread &&
        std::this_thread::get_id() == source_.listening_thread_) {
      source_.listening_ = false;
    } else {
      // The own thread, or the listening thread when it next pumps.
      source_.stop_asked_ = true;
      source_.changed_.notify_all();
      source_.changed_.wait(lock, [&] { return !source_.listening_; });
    }
    source_.listener_ = nullptr;
    source_.queue_.clear();
    source_.timer_.reset();
    lock.unlock();
    if (thread_.joinable()) thread_.join();
  }

  std::thread thread_;

 private:
  SimulatedEvents& source_;
};

void SimulatedEvents::FailListening(std::uint32_t system_error, std::string failure) {
  const std::lock_guard lock(mutex_);
  failing_.emplace(Listening{nullptr, system_error, std::move(failure)});
}

Listening SimulatedEvents::Listen(EventThread thread, EventHandler& handler) {
  auto listener = std::make_unique<Listener>(*this);
  {
    const std::lock_guard lock(mutex_);
    if (failing_) return {nullptr, failing_->system_error, failing_->failure};
    thread_ = thread;
    handler_ = &handler;
    queue_.clear();
    stop_asked_ = false;
  }
  if (thread == EventThread::kCallerThread) {
    handler.OnListening();
    const std::lock_guard lock(mutex_);
    listening_thread_ = std::this_thread::get_id();
    listener_ = listener.get();
    listening_ = true;
    return {std::move(listener), 0, {}};
  }
  // The thread owns the promise, which it may still be setting when the
  // wait for it has returned.
  std::promise<void> ready;
  std::future<void> made = ready.get_future();
  listener->thread_ =
      std::thread([this, &handler, ready = std::move(ready), l = listener.get()]() mutable {
        try {
          handler.OnOwnThread();
          handler.OnListening();
        } catch (...) {
          ready.set_exception(std::current_exception());
          return;
        }
        {
          const std::lock_guard lock(mutex_);
          listening_thread_ = std::this_thread::get_id();
          listener_ = l;
          listening_ = true;
        }
        ready.set_value();
        RunOwnThread(handler, *l);
      });
  try {
    made.get();
  } catch (...) {
    listener->thread_.join();
    throw;
  }
  return {std::move(listener), 0, {}};
}

void SimulatedEvents::RunOwnThread(EventHandler& handler, EventListener& listener) {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stop_asked_ || !queue_.empty(); });
    if (stop_asked_) break;
    const Event event = queue_.front();
    queue_.pop_front();
    lock.unlock();
    handler.OnEvent(event, listener);
    lock.lock();
    ++handled_;
    changed_.notify_all();
  }
  listening_ = false;
  changed_.notify_all();
}

void SimulatedEvents::Pump() {
  std::unique_lock lock(mutex_);
  while (listening_ && std::this_thread::get_id() == listening_thread_) {
    if (stop_asked_) {
      listening_ = false;
      changed_.notify_all();
      return;
    }
    if (queue_.empty()) return;
    const Event event = queue_.front();
    queue_.pop_front();
    EventListener& listener = *listener_;
    lock.unlock();
    handler_->OnEvent(event, listener);
    lock.lock();
    ++handled_;
    changed_.notify_all();
  }
}

void SimulatedEvents::Deliver(std::unique_lock<std::mutex>& lock, Event event) {
  if (!listening_) return;
  queue_.push_back(event);
  const std::uint64_t mine = ++told_;
  changed_.notify_all();
  if (thread_ == EventThread::kOwnThread) {
    changed_.wait(lock, [&] { return handled_ >= mine || !listening_; });
  } else if (std::this_thread::get_id() == listening_thread_) {
    lock.unlock();
    Pump();
    lock.lock();
  }
}

void SimulatedEvents::Tell(EventKind kind) {
  std::unique_lock lock(mutex_);
  Deliver(lock, {kind, now_});
}

void SimulatedEvents::Advance(std::chrono::milliseconds by) {
  std::unique_lock lock(mutex_);
  const Clock::time_point until = now_ + by;
  // Once each time it falls due: the handler sets it again if it wants more.
  while (listening_ && timer_ && *timer_ <= until) {
    now_ = *std::exchange(timer_, std::nullopt);
    Deliver(lock, {EventKind::kTimer, now_});
  }
  now_ = until;
}

SimulatedEvents::Clock::time_point SimulatedEvents::Now() const {
  const std::lock_guard lock(mutex_);
  return now_;
}

std::optional<SimulatedEvents::Clock::time_point> SimulatedEvents::TimerDue() const {
  const std::lock_guard lock(mutex_);
  return timer_;
}

bool SimulatedEvents::IsListening() const {
  const std::lock_guard lock(mutex_);
  return listening_;
}

}  // namespace vantrel::platform

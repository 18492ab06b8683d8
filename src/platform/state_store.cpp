// The process's one state store, and away from Windows the store that has no
// place: nothing is kept there, and a lock holds within the process.
#include "vantrel/platform/state_store.h"

#include <map>
#include <mutex>

#include "vantrel/base/current_port.h"

namespace vantrel::platform {

#ifndef _WIN32
namespace {

class NoPlace final : public StateStore {
 public:
  Result<std::string> Where(std::string_view) override { return None(); }
  Result<std::optional<std::string>> Read(std::string_view) override { return None(); }
  Result<void> Write(std::string_view, std::string_view) override { return None(); }
  Result<std::unique_ptr<Held>> Lock(std::string_view name) override {
    std::timed_mutex* lock = nullptr;
    {
      const std::lock_guard guard(locks_mutex_);
      lock = &locks_[std::string(name)];
    }
    lock->lock();
    return std::unique_ptr<Held>(new Taken(*lock));
  }

 private:
  static Error None() {
    return {ErrorCode::kSystem, 0, "no place to keep Vantrel's state on this system"};
  }
  class Taken final : public Held {
   public:
    explicit Taken(std::timed_mutex& lock) : lock_(lock) {}
    ~Taken() override { lock_.unlock(); }

   private:
    std::timed_mutex& lock_;
  };
  std::mutex locks_mutex_;
  std::map<std::string, std::timed_mutex> locks_;
};

NoPlace nowhere;

}  // namespace

template <>
StateStore& RunningPort<StateStore>() noexcept {
  return nowhere;
}

#endif

StateStore& CurrentStore() noexcept { return CurrentPort<StateStore>(); }

void UseStore(StateStore* store) noexcept { chosen_port<StateStore>.store(store); }

}  // namespace vantrel::platform

#include "simulated_store.h"

namespace vantrel::platform {

namespace {

Error NoPlace() { return {ErrorCode::kSystem, 0, "no folder for Vantrel's state"}; }
Error Denied(const std::string& what, std::string_view name) {
  return {ErrorCode::kSystem, 5, what + " state/" + std::string(name) + " failed (system error 5)"};
}

}  // namespace

class SimulatedStore::Taken final : public Held {
 public:
  Taken(SimulatedStore& store, std::mutex& lock) : store_(store), lock_(lock) {}
  ~Taken() override {
    {
      const std::lock_guard guard(store_.mutex_);
      --store_.held_;
    }
    lock_.unlock();
  }

 private:
  SimulatedStore& store_;
  std::mutex& lock_;
};

int SimulatedStore::most_held() const {
  const std::lock_guard guard(mutex_);
  return most_held_;
}

int SimulatedStore::locks_taken() const {
  const std::lock_guard guard(mutex_);
  return taken_;
}

Result<std::string> SimulatedStore::Where(std::string_view name) {
  if (!has_place) return NoPlace();
  return "state/" + std::string(name);
}

Result<std::optional<std::string>> SimulatedStore::Read(std::string_view name) {
  const std::lock_guard guard(mutex_);
  if (!has_place) return NoPlace();
  if (unreadable.contains(name)) return Denied("reading", name);
  const auto found = files.find(name);
  if (found == files.end()) return std::optional<std::string>();
  return std::optional<std::string>(found->second);
}

Result<void> SimulatedStore::Write(std::string_view name, std::string_view text) {
  const std::lock_guard guard(mutex_);
  if (!has_place) return NoPlace();
  if (unwritable.contains(name)) return Denied("replacing", name);
  files.insert_or_assign(std::string(name), std::string(text));
  return {};
}

Result<std::unique_ptr<StateStore::Held>> SimulatedStore::Lock(std::string_view name) {
  std::mutex* lock = nullptr;
  {
    const std::lock_guard guard(mutex_);
    lock = &locks_.try_emplace(std::string(name)).first->second;
  }
  lock->lock();
  const std::lock_guard guard(mutex_);
  ++taken_;
  most_held_ = std::max(most_held_, ++held_);
  return std::unique_ptr<Held>(new Taken(*this, *lock));
}

}  // namespace vantrel::platform

// The lock every change of the displays takes: the process's, so that two
// threads (or the C interface and C++) never interleave, and the desktop's
// named lock in the state store, so that two processes do not either.
#pragma once

#include <memory>
#include <mutex>

#include "vantrel/platform/state_store.h"
#include "vantrel/result.h"

namespace vantrel {

class ChangeLock {
 public:
  // Waits for both; fails where the store cannot make its lock (the
  // process's is released then).
  static Result<ChangeLock> Take(platform::StateStore& store);

 private:
  ChangeLock(std::unique_lock<std::mutex> process,
             std::unique_ptr<platform::StateStore::Held> desktop) noexcept
      : process_(std::move(process)), desktop_(std::move(desktop)) {}
  // Released in the reverse order: the desktop's, then the process's.
  std::unique_lock<std::mutex> process_;
  std::unique_ptr<platform::StateStore::Held> desktop_;
};

}  // namespace vantrel

#include "vantrel/displays/change_lock.h"

#include <utility>

#include "vantrel/displays/apply.h"

namespace vantrel {

Result<ChangeLock> ChangeLock::Take(platform::StateStore& store) {
  // Never destroyed: a change may run from another static's destructor.
  static std::mutex* const process = new std::mutex;
  std::unique_lock mine(*process);
  Result<std::unique_ptr<platform::StateStore::Held>> desktop = store.Lock(kChangeLock);
  if (!desktop) return desktop.error();
  return ChangeLock(std::move(mine), std::move(desktop).value());
}

}  // namespace vantrel

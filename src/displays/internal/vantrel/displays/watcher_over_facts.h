// A display watcher whose window is real but whose facts come from another
// service than the running system's: a test changes a simulated layout,
// sends the window a message, and sees what the watcher tells.
#pragma once

#ifdef _WIN32
#include <utility>

#include "vantrel/displays/watcher.h"

namespace vantrel {

class WatcherOverFacts final : public DisplayWatcher {
 public:
  WatcherOverFacts(platform::System& facts, Callback callback, Options options)
      : DisplayWatcher(facts, std::move(callback), options) {}
};

}  // namespace vantrel
#endif

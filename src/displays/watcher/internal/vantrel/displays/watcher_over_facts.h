// A display watcher over another system than the running one, and over
// another event source where given: a test changes a simulated layout, tells
// the watcher through the source (a simulated one, or on Windows a message to
// its real window), and sees what the watcher tells.
#pragma once

#include <memory>
#include <utility>

#include "vantrel/displays/watcher.h"

namespace vantrel {

class WatcherOverFacts final : public DisplayWatcher {
 public:
  WatcherOverFacts(platform::System& facts, Callback callback, Options options)
      : DisplayWatcher(facts, std::move(callback), options) {}
  WatcherOverFacts(platform::System& facts, platform::EventSource& events, Callback callback,
                   Options options)
      : DisplayWatcher(facts, events, std::move(callback), options) {}

  static Result<std::unique_ptr<DisplayWatcher>> Start(platform::System& facts,
                                                       platform::EventSource& events,
                                                       Callback callback, Options options) {
    return DisplayWatcher::Start(facts, events, std::move(callback), options);
  }
};

}  // namespace vantrel

// What the C interface takes from the running system: the display facts, and
// the calling thread's DPI awareness, which it changes around its own calls.
// Its tests put the simulated twin in its place.
#pragma once

#include "vantrel/platform/display_facts_service.h"

namespace vantrel::capi {

class System {
 public:
  virtual ~System() = default;
  virtual platform::DisplayFactsService& Facts() noexcept = 0;
  // Makes the calling thread per-monitor aware and gives back the awareness
  // it had, for RestoreAwareness; null where nothing was changed.
  virtual void* EnterPerMonitorAware() noexcept = 0;
  virtual void RestoreAwareness(void* previous) noexcept = 0;
};

// The running system's on Windows; elsewhere none until a test gives one.
System* CurrentSystem() noexcept;
// For tests: the system the C interface uses from now on; null puts the
// running one back.
void UseSystem(System* system) noexcept;

// The library's own calls run per-monitor aware for the scope's life; the
// thread's awareness is put back when it ends.
class PerMonitorAware {
 public:
  explicit PerMonitorAware(System& system) noexcept
      : system_(system), previous_(system.EnterPerMonitorAware()) {}
  PerMonitorAware(const PerMonitorAware&) = delete;
  PerMonitorAware& operator=(const PerMonitorAware&) = delete;
  ~PerMonitorAware() { system_.RestoreAwareness(previous_); }

 private:
  System& system_;
  void* previous_;
};

}  // namespace vantrel::capi

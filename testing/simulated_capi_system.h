// The running system as the C interface sees it, simulated: each thread's
// DPI awareness, and the pixels Windows gives a thread by it. A thread that
// is not per-monitor aware (python.exe's, most .NET hosts') is told every
// rectangle scaled down to 96 DPI, as Windows virtualises them for it.
#pragma once

#include "simulated_display_facts.h"
#include "vantrel/capi/system.h"

namespace vantrel::capi {

class SimulatedSystem final : public System {
 public:
  // The displays in physical pixels, and as an unaware thread is told them.
  SimulatedSystem(platform::SimulatedDisplays physical, platform::SimulatedDisplays scaled)
      : physical_(std::move(physical)), scaled_(std::move(scaled)) {}

  // The calling thread's awareness: unaware unless a test says otherwise.
  static inline thread_local bool per_monitor_aware = false;
  // False: a system without SetThreadDpiAwarenessContext (before Windows 10
  // 1607), where no thread's awareness can be changed.
  bool can_set_awareness = true;

  platform::DisplayFactsService& Facts() noexcept override {
    return per_monitor_aware ? physical_ : scaled_;
  }
  void* EnterPerMonitorAware() noexcept override {
    if (!can_set_awareness) return nullptr;
    void* previous = per_monitor_aware ? &aware_ : &unaware_;
    per_monitor_aware = true;
    return previous;
  }
  void RestoreAwareness(void* previous) noexcept override {
    if (previous) per_monitor_aware = previous == &aware_;
  }

 private:
  platform::SimulatedDisplayFacts physical_;
  platform::SimulatedDisplayFacts scaled_;
  char aware_ = 0;
  char unaware_ = 0;
};

}  // namespace vantrel::capi

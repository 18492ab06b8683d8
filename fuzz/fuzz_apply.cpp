// Setting a layout on the simulated system: one to five displays of a few
// sizes side by side, some detached (with or without a mode kept), some that
// turn, and a wanted layout naming them by key or adapter (or none), at any
// place, mode and orientation, any of them primary, attached or not; the
// system may shrink a display after a reset, once or every time. It checks:
//  - the layout in force planned against itself is an empty plan, and
//    applying it makes no call;
//  - a plan keeps every display, leaves one attached at least, and exactly
//    one primary, attached, at 0,0; Describe has a line per change;
//  - applied, it gives its layout (planning that against it is empty) with
//    one reset; failing, the layout from before is back (two resets), unless
//    the system shrank the display every time, or nothing changed (no reset)
//    where the system refused the test.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_require.h"
#include "simulated_store.h"
#include "simulated_system.h"
#include "vantrel/displays/apply.h"

namespace {

using namespace vantrel;
using platform::SimulatedDisplays;
using platform::SimulatedSystem;

constexpr DisplayMode kSizes[] = {{1920, 1080, 32, 60}, {1280, 1024, 32, 60}, {800, 600, 32, 60}};

DisplayMode AnyMode(FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return in.PickValueInArray(kSizes);
  const std::int32_t w = in.PickValueInArray({0, 600, 800, 1080, 1280, 1920, INT32_MAX});
  const std::int32_t h = in.PickValueInArray({0, 600, 800, 1024, 1080, 1920, -1});
  return {w, h, in.PickValueInArray({0, 16, 32}), in.PickValueInArray({0, 60, 75})};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::size_t count = in.ConsumeIntegralInRange<std::size_t>(1, 5);
  std::vector<Rect> rects;
  for (std::int32_t x = 0; rects.size() < count;) {
    const DisplayMode m = in.PickValueInArray(kSizes);
    rects.push_back({x, 0, x + m.width, m.height});
    x += m.width;
  }
  SimulatedDisplays layout = SimulatedDisplays::FromRects(rects);
  for (std::size_t k = 0; k < count; ++k) {
    platform::SimulatedDisplay& d = layout.displays[k];
    d.rotates = in.ConsumeBool();
    if (k == 0 || in.ConsumeBool()) continue;
    d.attached = false;
    if (in.ConsumeBool()) d.registry = platform::SettingsFacts{{d.bounds.left, 0}, *d.current_mode};
  }
  SimulatedSystem system(layout);
  platform::SimulatedStore store;
  LayoutChanger changer(system, store);
  const int faults = in.ConsumeIntegralInRange(0, 2);  // none, once, every time
  const std::size_t shrunk = in.ConsumeIntegralInRange<std::size_t>(0, count - 1);
  int left = faults == 2 ? INT_MAX : faults;
  system.after_reset = [&](SimulatedDisplays& l) {
    if (left-- > 0 && l.displays[shrunk].attached) {
      Rect& r = l.displays[shrunk].bounds;
      r = {r.left, r.top, r.left + 800, r.top + 600};
      l.displays[shrunk].current_mode = platform::ModeFacts{800, 600, 32, 60, 0};
    }
  };

  const Layout now = changer.Now();
  const std::vector<OfferedModes> offered = TakeOfferedModes(system);
  const Result<LayoutPlan, Refusal> same = Plan(now, now, offered);
  Require(same && same->empty() && changer.Apply(now), "the layout in force is an empty plan");
  Require(system.counts().change_settings == 0, "an empty plan makes no call");

  Layout wanted;
  while (wanted.displays.size() < 6 && in.ConsumeBool()) {
    const LayoutDisplay& d = now.displays[in.ConsumeIntegralInRange<std::size_t>(0, count - 1)];
    LayoutDisplay w = d;
    if (in.ConsumeBool()) w.key = in.ConsumeBool() ? "elsewhere" : "";
    if (in.ConsumeBool()) w.adapter = in.PickValueInArray({"\\\\.\\display1", "\\\\.\\DISPLAY9"});
    w.attached = in.ConsumeBool();
    w.primary = in.ConsumeBool();
    w.position = {in.PickValueInArray({0, 800, 1280, 1920, -1920, INT32_MIN, INT32_MAX}),
                  in.PickValueInArray({0, 600, -1080})};
    if (in.ConsumeBool()) w.mode = AnyMode(in);
    w.orientation = in.PickValueInArray({0, 0, 90, 180, 270, 45});
    wanted.displays.push_back(w);
  }
  const Result<LayoutPlan, Refusal> plan = Plan(now, wanted, offered);
  if (!plan) {
    // The system may be asked (CDS_TEST) before the modes are listed; nothing
    // is written or put in force.
    Require(!changer.Apply(wanted) && system.counts().resets == 0 && changer.Now() == now,
            "a refusal changes nothing");
    return 0;
  }
  const std::vector<LayoutDisplay>& after = plan->after.displays;
  Require(plan->before == now && after.size() == now.displays.size(), "every display kept");
  Require(std::ranges::any_of(after, &LayoutDisplay::attached), "one attached at least");
  Require(std::ranges::count(after, true, &LayoutDisplay::primary) == 1, "one primary");
  const auto primary = std::ranges::find(after, true, &LayoutDisplay::primary);
  Require(primary->attached && primary->position == Point{0, 0}, "the primary attached at 0,0");
  Require(Describe(*plan).size() == plan->changes.size(), "a line per change");

  const ChangeOutcome done = changer.Apply(wanted);
  Require(done.plan == *plan || (plan->empty() && done.plan.empty()), "the plan carried out");
  const int resets = system.counts().resets;
  const Result<LayoutPlan, Refusal> left_to_do =
      Plan(changer.Now(), done ? plan->after : now, offered);
  switch (done.end) {
    case ChangeEnd::kApplied:
      Require(left_to_do && left_to_do->empty(), "the plan's layout in force");
      Require(resets == (plan->empty() ? 0 : 1), "one reset");
      break;
    case ChangeEnd::kRefused:
      Require(resets == 0 && done.refusal->reason == RefusalReason::kSystemTest,
              "refused by the system's test before any change");
      break;
    case ChangeEnd::kRolledBack:
      Require(resets == 2 && !done.differences.empty(), "one reset there, one back, and why");
      Require(left_to_do && left_to_do->empty(), "the layout from before back");
      break;
    case ChangeEnd::kNotBack:
      Require(resets == 2 && faults == 2 && !done.not_back.empty(),
              "not back only where the system shrank it every time");
      break;
    default:
      Require(false, "no other end without a confirmation or a store that fails");
  }
  return 0;
}

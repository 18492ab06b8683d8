// Builds a display service from the input and drives everything that asks
// it: Refresh, the desktop metrics, both lookups, centring and the report.
// Besides crashes and sanitizer findings, it checks what must hold whatever
// the service answers.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "Form1.h"
#include "fuzz_require.h"
#include "simulated_display_service.h"
#include "toolkit_doubles.h"
#include "vantrel/base/attempt.h"
#include "vantrel/monitors/clsMonitors.h"

namespace {

using namespace vantrel;
using namespace vantrel::platform;

// Texts of any length, with or without NULs.
std::string Text(FuzzedDataProvider& in) { return in.ConsumeRandomLengthString(300); }

// Coordinates near the origin mostly, and now and then at the 32-bit edges.
std::int32_t Coordinate(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.ConsumeIntegral<std::int32_t>();
    case 1:
      return in.PickValueInArray({INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX});
    default:
      return in.ConsumeIntegralInRange(-4096, 4096);
  }
}

Rect Rectangle(FuzzedDataProvider& in) {
  return {Coordinate(in), Coordinate(in), Coordinate(in), Coordinate(in)};
}

SimulatedLayout Layout(FuzzedDataProvider& in) {
  SimulatedLayout layout;
  const int adapters = in.ConsumeIntegralInRange(0, 8);
  for (int k = 0; k < adapters; ++k) {
    SimulatedLayout::Adapter a;
    a.name = in.ConsumeBool() ? Text(in) : "\\\\.\\DISPLAY" + std::to_string(k + 1);
    a.description = Text(in);
    a.state_flags = in.ConsumeIntegral<std::uint32_t>();
    a.id = Text(in);
    const int monitors = in.ConsumeIntegralInRange(0, 2);
    for (int m = 0; m < monitors; ++m) {
      a.monitors.push_back({Text(in), Text(in), in.ConsumeIntegral<std::uint32_t>()});
    }
    a.has_settings = in.ConsumeBool();
    a.x = Coordinate(in);
    a.y = Coordinate(in);
    a.frequency = in.ConsumeIntegral<std::int32_t>();
    layout.adapters.push_back(std::move(a));
  }
  const int handles = in.ConsumeIntegralInRange(0, 6);
  for (int k = 0; k < handles; ++k) {
    // Few distinct values, so that handles repeat.
    const std::int32_t handle =
        in.ConsumeBool() ? in.ConsumeIntegralInRange(-2, 3) : in.ConsumeIntegral<std::int32_t>();
    layout.monitors.push_back({handle, Rectangle(in), Rectangle(in), Text(in), in.ConsumeBool()});
  }
  for (std::int32_t metric : {SM_CXSCREEN, SM_CYSCREEN, SM_XVIRTUALSCREEN, SM_YVIRTUALSCREEN,
                              SM_CXVIRTUALSCREEN, SM_CYVIRTUALSCREEN, SM_CMONITORS}) {
    layout.metrics[metric] = Coordinate(in);
  }
  const int windows = in.ConsumeIntegralInRange(0, 3);
  for (int k = 0; k < windows; ++k)
    layout.windows[in.ConsumeIntegral<std::int32_t>()] = Rectangle(in);
  return layout;
}

ui::Value Reference(FuzzedDataProvider& in, const testing_doubles::FakeForm& form) {
  switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0:
      return ui::Value{};
    case 1:
      return ui::Value{in.ConsumeIntegral<std::int64_t>()};
    case 2:
      return ui::Value{Text(in)};
    case 3:
      return ui::Value{static_cast<const ui::Object*>(nullptr)};
    default:
      return ui::Value{static_cast<const ui::Object*>(&form)};
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  SimulatedDisplayService svc(Layout(in));
  for (Function f :
       {Function::GetSystemMetrics, Function::EnumDisplayDevicesA, Function::EnumDisplaySettingsA,
        Function::MonitorFromPoint, Function::MonitorFromRect, Function::MonitorFromWindow,
        Function::GetMonitorInfoA}) {
    if (in.ConsumeIntegralInRange(0, 7) == 0) svc.missing.insert(f);
  }
  for (Query q : {Query::Adapter, Query::AdapterMonitor, Query::Settings, Query::MonitorInfo}) {
    if (in.ConsumeIntegralInRange(0, 5) == 0) svc.writes_nothing.insert(q);
  }
  testing_doubles::FakeScreen screen(in.ConsumeFloatingPoint<float>(),
                                     in.ConsumeFloatingPoint<float>());

  // Refresh (run by construction) passes nothing on and keeps one record
  // per handle, keyed by the handle's decimal text.
  clsMonitors list(svc, &screen);
  const auto monitors = list.Monitors();
  std::set<std::string> keys;
  for (std::int32_t k = 1; k <= monitors->Count(); ++k) {
    const std::string& key = monitors->Key(k);
    Require(keys.insert(key).second, "two records share a key");
    Require(key == std::to_string((*monitors)(k)->Handle()), "a key is not its handle's text");
  }
  // The walk asks once per adapter, and once more to learn there is none.
  std::size_t adapter_queries = 0;
  for (const auto& c : svc.CallsOf(Function::EnumDisplayDevicesA)) adapter_queries += !c.by_name;
  Require(adapter_queries <= svc.layout().adapters.size() + 1, "the walk asked too often");

  // The metrics have no failure mode of their own: a missing function
  // reaches the caller, nothing else does.
  for (auto metric : {&clsMonitors::DesktopLeft, &clsMonitors::DesktopTop,
                      &clsMonitors::DesktopWidth, &clsMonitors::DesktopHeight}) {
    const auto number = AttemptNumbered([&] { (list.*metric)(); });
    Require(number == kNoFailure || number == kFunctionMissing, "a metric failed oddly");
  }
  const std::int32_t flags = in.ConsumeIntegralInRange(-1, 3);
  list.GetMonitorFromXYPoint(Coordinate(in), Coordinate(in), flags);
  list.GetMonitorFromWindow(in.ConsumeIntegral<std::int32_t>(), flags);

  testing_doubles::FakeForm form, reference;
  form.width = in.ConsumeFloatingPoint<float>();
  form.height = in.ConsumeFloatingPoint<float>();
  if (in.ConsumeBool()) form.move_failure = in.PickValueInArray({kInvalidCall, kFunctionMissing});
  reference.hwnd = Reference(in, reference);
  const bool with_reference = in.ConsumeBool();
  bool result = false;
  const auto number = AttemptNumbered([&] {
    result = with_reference ? list.CenterFormOnMonitor(form, Reference(in, reference))
                            : list.CenterFormOnMonitor(form);
  });
  Require(!result, "centring answered true");
  // Only a 453 can lead to a failure that leaves the method.
  Require(number == kNoFailure || svc.missing.size() + (form.move_failure == kFunctionMissing) > 0,
          "centring passed on a failure without a missing function");

  // The report: one line per record, each ending in CR LF.
  testing_doubles::FakeTextBox box;
  testing_doubles::FakeApplication app;
  report::Form1 report(svc, box, app);
  report.Form_Load();
  std::size_t lines = 0;
  for (std::size_t p = box.text.find("\r\n"); p != std::string::npos;
       p = box.text.find("\r\n", p + 2))
    ++lines;
  Require(lines >= static_cast<std::size_t>(monitors->Count()), "the report lost a line");
  return 0;
}

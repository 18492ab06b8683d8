// The virtual desktop's bounds and the monitor lookups. Each asks the service
// afresh; none reads or changes the list.
#include "vantrel/base/attempt.h"
#include "vantrel/base/checked_math.h"
#include "vantrel/monitors/clsMonitors.h"
#include "vantrel/platform/service_calls.h"

namespace vantrel {

using namespace platform;

std::int32_t clsMonitors::GetMetricOrDefault(std::int32_t index, std::int32_t default_value) {
  if (service_.GetSystemMetrics(SM_CMONITORS) != 0) return service_.GetSystemMetrics(index);
  return default_value;  // no multi-monitor support
}

std::int32_t clsMonitors::DesktopLeft() { return GetMetricOrDefault(SM_XVIRTUALSCREEN, 0); }

std::int32_t clsMonitors::DesktopTop() { return GetMetricOrDefault(SM_YVIRTUALSCREEN, 0); }

// The primary screen's size is read first on every read, needed or not.
std::int32_t clsMonitors::DesktopWidth() {
  const std::int32_t primary = service_.GetSystemMetrics(SM_CXSCREEN);
  return GetMetricOrDefault(SM_CXVIRTUALSCREEN, primary);
}

std::int32_t clsMonitors::DesktopHeight() {
  const std::int32_t primary = service_.GetSystemMetrics(SM_CYSCREEN);
  return GetMetricOrDefault(SM_CYVIRTUALSCREEN, primary);
}

std::int32_t clsMonitors::GetMonitorFromWindow(std::int32_t hwnd, std::int32_t dwFlags) noexcept {
  std::int32_t monitor = 0;
  Attempt([&] { monitor = service_.MonitorFromWindow(hwnd, dwFlags); });
  return monitor;
}

std::int32_t clsMonitors::GetMonitorFromXYPoint(std::int32_t x, std::int32_t y,
                                                std::int32_t dwFlags) noexcept {
  // The one pixel's rectangle, right and bottom one past it. A failed step is
  // skipped, but the answer is then 0 whatever the service says.
  Rect rc;
  std::int32_t monitor = 0;
  bool failed = false;
  const auto step = [&](auto&& body) { failed |= !Attempt(body); };
  step([&] { rc.left = x; });
  step([&] { rc.top = y; });
  step([&] { rc.right = CheckedAdd(x, 1); });
  step([&] { rc.bottom = CheckedAdd(y, 1); });
  step([&] { monitor = service_.MonitorFromRect(rc, dwFlags); });
  return failed ? 0 : monitor;
}

}  // namespace vantrel

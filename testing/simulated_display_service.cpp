#include "simulated_display_service.h"

#include <algorithm>
#include <limits>

#include "vantrel/base/attempt.h"

namespace vantrel::platform {

namespace {

// Distance between two rectangles along one axis (0 where they overlap), and
// below the length they share: in 64 bits so that layouts at the 32-bit
// extremes cannot overflow. Areas and squared distances are formed in double.
std::int64_t Gap(std::int64_t lo1, std::int64_t hi1, std::int64_t lo2, std::int64_t hi2) {
  if (hi1 <= lo2) return lo2 - hi1 + 1;
  if (hi2 <= lo1) return lo1 - hi2 + 1;
  return 0;
}

std::int64_t Overlap(std::int64_t lo1, std::int64_t hi1, std::int64_t lo2, std::int64_t hi2) {
  return std::max<std::int64_t>(0, std::min(hi1, hi2) - std::max(lo1, lo2));
}

// A rectangle of no area still names the pixel at its corner.
Rect AtLeastOnePixel(Rect rc) {
  if (rc.right <= rc.left) rc.right = rc.left == INT32_MAX ? rc.left : rc.left + 1;
  if (rc.bottom <= rc.top) rc.bottom = rc.top == INT32_MAX ? rc.top : rc.top + 1;
  return rc;
}

}  // namespace

SimulatedLayout SimulatedLayout::ForMonitors(const std::vector<Rect>& bounds) {
  SimulatedLayout layout;
  for (std::size_t k = 0; k < bounds.size(); ++k) {
    const std::string n = std::to_string(k + 1);
    Adapter a;
    a.name = "\\\\.\\DISPLAY" + n;
    a.description = "Simulated Adapter " + n;
    a.state_flags = 1;
    a.id = "PCI\\VEN_0000&DEV_000" + n;
    a.monitors.push_back(
        {"Generic Monitor " + n,
         "\\\\?\\DISPLAY#SIM000" + n + "#0000&0000#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}"});
    a.x = bounds[k].left;
    a.y = bounds[k].top;
    layout.adapters.push_back(a);
    layout.monitors.push_back(
        {static_cast<std::int32_t>(0x10001 + k), bounds[k], bounds[k], a.name});
  }
  layout.UpdateMetrics();
  return layout;
}

void SimulatedLayout::UpdateMetrics() {
  metrics[SM_CMONITORS] = static_cast<std::int32_t>(monitors.size());
  if (monitors.empty()) return;
  Rect v = monitors.front().bounds;
  for (const auto& m : monitors) {
    v.left = std::min(v.left, m.bounds.left);
    v.top = std::min(v.top, m.bounds.top);
    v.right = std::max(v.right, m.bounds.right);
    v.bottom = std::max(v.bottom, m.bounds.bottom);
    if (m.bounds.left == 0 && m.bounds.top == 0) {
      metrics[SM_CXSCREEN] = m.bounds.right;
      metrics[SM_CYSCREEN] = m.bounds.bottom;
    }
  }
  metrics[SM_XVIRTUALSCREEN] = v.left;
  metrics[SM_YVIRTUALSCREEN] = v.top;
  metrics[SM_CXVIRTUALSCREEN] = static_cast<std::int32_t>(std::int64_t{v.right} - v.left);
  metrics[SM_CYVIRTUALSCREEN] = static_cast<std::int32_t>(std::int64_t{v.bottom} - v.top);
}

void SimulatedDisplayService::Enter(Function f, std::int32_t a, std::int32_t b, const char* name) {
  if (log_calls) calls.push_back({f, a, b, name ? name : "", name != nullptr});
  if (missing.contains(f)) Fail(kFunctionMissing);
}

std::vector<Call> SimulatedDisplayService::CallsOf(Function f) const {
  std::vector<Call> out;
  std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
               [f](const Call& c) { return c.function == f; });
  return out;
}

std::int32_t SimulatedDisplayService::GetSystemMetrics(std::int32_t nIndex) {
  Enter(Function::GetSystemMetrics, nIndex, 0);
  const auto it = layout_.metrics.find(nIndex);
  return it == layout_.metrics.end() ? 0 : it->second;
}

const SimulatedLayout::Adapter* SimulatedDisplayService::FindAdapter(const char* name) const {
  for (const auto& a : layout_.adapters) {
    if (name && a.name == name) return &a;
  }
  return nullptr;
}

std::int32_t SimulatedDisplayService::EnumDisplayDevicesA(const char* lpDevice,
                                                          std::int32_t iDevNum,
                                                          DisplayDeviceRecord& dd,
                                                          std::int32_t dwFlags) {
  Enter(Function::EnumDisplayDevicesA, iDevNum, dwFlags, lpDevice);
  using P = DisplayDevice::Platform;
  // user32 writes only the fields that fit in the size the caller declared.
  const auto cb = static_cast<std::uint32_t>(dd.Int32<DisplayDevice::cb>());
  const auto fits = [&](Field f) { return f.offset + f.size <= cb; };
  auto write = [&](const std::string& name, const std::string& text, std::uint32_t flags,
                   const std::string& id) {
    if (fits(DisplayDevice::DeviceName)) dd.SetText<DisplayDevice::DeviceName>(name);
    if (fits(DisplayDevice::DeviceString)) dd.SetText<DisplayDevice::DeviceString>(text);
    if (fits(P::StateFlags)) dd.SetInt32<P::StateFlags>(static_cast<std::int32_t>(flags));
    if (fits(P::DeviceID)) dd.SetText<P::DeviceID>(id);
    if (fits(P::DeviceKey)) dd.SetText<P::DeviceKey>("\\Registry\\Machine\\Simulated\\" + name);
  };

  if (lpDevice == nullptr) {
    if (iDevNum < 0 || static_cast<std::size_t>(iDevNum) >= layout_.adapters.size()) return 0;
    const auto& a = layout_.adapters[static_cast<std::size_t>(iDevNum)];
    if (!writes_nothing.contains(Query::Adapter)) write(a.name, a.description, a.state_flags, a.id);
    return 1;
  }
  const auto* a = FindAdapter(lpDevice);
  if (!a || iDevNum < 0 || static_cast<std::size_t>(iDevNum) >= a->monitors.size()) return 0;
  const auto& m = a->monitors[static_cast<std::size_t>(iDevNum)];
  if (!writes_nothing.contains(Query::AdapterMonitor)) {
    write(
        a->name + "\\Monitor" + std::to_string(iDevNum), m.description, m.state_flags,
        (dwFlags & EDD_GET_DEVICE_INTERFACE_NAME) ? m.interface_path : "MONITOR\\Default_Monitor");
  }
  return 1;
}

std::int32_t SimulatedDisplayService::EnumDisplaySettingsA(const char* lpszDeviceName,
                                                           std::int32_t iModeNum,
                                                           DeviceModeRecord& dm) {
  Enter(Function::EnumDisplaySettingsA, iModeNum, 0, lpszDeviceName);
  const auto* a = FindAdapter(lpszDeviceName);
  if (!a || !a->has_settings || iModeNum != static_cast<std::int32_t>(ENUM_CURRENT_SETTINGS))
    return 0;
  if (writes_nothing.contains(Query::Settings)) return 1;
  dm.SetText<DeviceMode::dmDeviceName>(a->description);
  dm.SetInt32<DeviceMode::dmPositionX>(a->x);
  dm.SetInt32<DeviceMode::dmPositionY>(a->y);
  dm.SetInt32<DeviceMode::dmDisplayFrequency>(a->frequency);
  return 1;
}

std::int32_t SimulatedDisplayService::Primary() const {
  for (const auto& m : layout_.monitors) {
    if (m.bounds.left == 0 && m.bounds.top == 0) return m.handle;
  }
  return layout_.monitors.empty() ? 0 : layout_.monitors.front().handle;
}

// The monitor sharing the largest area with rc; failing that, what the flags
// ask for.
std::int32_t SimulatedDisplayService::Lookup(const Rect& given, std::int32_t dwFlags) const {
  const Rect rc = AtLeastOnePixel(given);
  std::int32_t best = 0;
  double best_area = 0;
  for (const auto& m : layout_.monitors) {
    const auto& b = m.bounds;
    const double area = static_cast<double>(Overlap(rc.left, rc.right, b.left, b.right)) *
                        static_cast<double>(Overlap(rc.top, rc.bottom, b.top, b.bottom));
    if (area > best_area) best = m.handle, best_area = area;
  }
  if (best != 0 || dwFlags == MONITOR_DEFAULTTONULL) return best;
  if (dwFlags != MONITOR_DEFAULTTONEAREST) return Primary();
  double best_gap = std::numeric_limits<double>::infinity();
  for (const auto& m : layout_.monitors) {
    const auto& b = m.bounds;
    const double gx = static_cast<double>(Gap(rc.left, rc.right, b.left, b.right));
    const double gy = static_cast<double>(Gap(rc.top, rc.bottom, b.top, b.bottom));
    const double gap = gx * gx + gy * gy;
    if (gap < best_gap) best = m.handle, best_gap = gap;
  }
  return best;
}

std::int32_t SimulatedDisplayService::MonitorFromPoint(std::int32_t x, std::int32_t y,
                                                       std::int32_t dwFlags) {
  Enter(Function::MonitorFromPoint, x, y);
  return Lookup({x, y, x, y}, dwFlags);
}

std::int32_t SimulatedDisplayService::MonitorFromRect(const Rect& lprc, std::int32_t dwFlags) {
  Enter(Function::MonitorFromRect, lprc.left, lprc.top);
  if (log_calls) {
    calls.back().rect = lprc;
    calls.back().flags = dwFlags;
  }
  return Lookup(lprc, dwFlags);
}

std::int32_t SimulatedDisplayService::MonitorFromWindow(std::int32_t hwnd, std::int32_t dwFlags) {
  Enter(Function::MonitorFromWindow, hwnd, dwFlags);
  const auto it = layout_.windows.find(hwnd);
  if (it != layout_.windows.end()) return Lookup(it->second, dwFlags);
  return dwFlags == MONITOR_DEFAULTTONULL ? 0 : Primary();
}

std::int32_t SimulatedDisplayService::GetMonitorInfoA(std::int32_t hMonitor,
                                                      MonitorInfoRecord& mi) {
  Enter(Function::GetMonitorInfoA, hMonitor, 0);
  const auto size = mi.Int32<MonitorInfo::cbSize>();
  if (size != 40 && size != MonitorInfo::kDeclaredSize) return 0;  // as user32: exact sizes only
  for (const auto& m : layout_.monitors) {
    if (m.handle != hMonitor || !m.has_info) continue;
    if (writes_nothing.contains(Query::MonitorInfo)) return 1;
    mi.SetInt32<MonitorInfo::rcMonitorLeft>(m.bounds.left);
    mi.SetInt32<MonitorInfo::rcMonitorTop>(m.bounds.top);
    mi.SetInt32<MonitorInfo::rcMonitorRight>(m.bounds.right);
    mi.SetInt32<MonitorInfo::rcMonitorBottom>(m.bounds.bottom);
    mi.SetInt32<MonitorInfo::rcWorkLeft>(m.work.left);
    mi.SetInt32<MonitorInfo::rcWorkTop>(m.work.top);
    mi.SetInt32<MonitorInfo::rcWorkRight>(m.work.right);
    mi.SetInt32<MonitorInfo::rcWorkBottom>(m.work.bottom);
    mi.SetInt32<MonitorInfo::dwFlags>(m.handle == Primary() ? 1 : 0);
    if (size == MonitorInfo::kDeclaredSize) mi.SetText<MonitorInfo::szDevice>(m.device);
    return 1;
  }
  return 0;
}

}  // namespace vantrel::platform

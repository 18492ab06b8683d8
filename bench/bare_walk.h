// The floor for Refresh: the same display-service calls in the same order,
// with nothing built from their answers. Returns the number of adapters seen.
#pragma once

#include <cstdint>

#include "vantrel/platform/display_service.h"
#include "vantrel/platform/service_calls.h"

namespace vantrel::bench {

inline int BareWalk(platform::DisplayService& svc) {
  using namespace platform;
  DisplayDeviceRecord dd;
  DeviceModeRecord dm;
  MonitorInfoRecord mi;
  int i = 0;
  if (svc.GetSystemMetrics(SM_CMONITORS) == 0) return 0;
  dd.SetInt32<DisplayDevice::cb>(DisplayDevice::kDeclaredSize);
  for (; svc.EnumDisplayDevicesA(nullptr, i, dd, 0) != 0; ++i) {
    if ((dd.UInt16<DisplayDevice::StateFlags>() & 1) == 0) continue;
    PassDeviceName(dd, [&](const char* name) {
      return svc.EnumDisplayDevicesA(name, 0, dd, EDD_GET_DEVICE_INTERFACE_NAME);
    });
    dm.SetUInt16<DeviceMode::dmSize>(DeviceMode::kDeclaredSize);
    PassDeviceName(dd, [&](const char* name) {
      return svc.EnumDisplaySettingsA(name, static_cast<std::int32_t>(ENUM_CURRENT_SETTINGS), dm);
    });
    const auto h =
        svc.MonitorFromPoint(dm.Int32<DeviceMode::dmPositionX>(),
                             dm.Int32<DeviceMode::dmPositionY>(), MONITOR_DEFAULTTONEAREST);
    mi.SetInt32<MonitorInfo::cbSize>(MonitorInfo::kDeclaredSize);
    svc.GetMonitorInfoA(h, mi);
  }
  return i;
}

}  // namespace vantrel::bench

// What the code that calls the display service uses: the calls' constants by
// their Windows names, and passing a device name by value. On Windows the
// constants are windows.h's own, checked against the values the calls rely
// on; elsewhere (the simulated service's builds) they are defined here.
#pragma once

#include <cstdint>
#include <string>

#include "vantrel/platform/display_service.h"

#ifdef _WIN32
#include <windows.h>
static_assert(SM_CXSCREEN == 0 && SM_CYSCREEN == 1 && SM_XVIRTUALSCREEN == 76 &&
              SM_YVIRTUALSCREEN == 77 && SM_CXVIRTUALSCREEN == 78 && SM_CYVIRTUALSCREEN == 79 &&
              SM_CMONITORS == 80);
static_assert(MONITOR_DEFAULTTONULL == vantrel::kMonitorDefaultToNull &&
              MONITOR_DEFAULTTOPRIMARY == vantrel::kMonitorDefaultToPrimary &&
              MONITOR_DEFAULTTONEAREST == vantrel::kMonitorDefaultToNearest &&
              EDD_GET_DEVICE_INTERFACE_NAME == 1 &&
              static_cast<std::int32_t>(ENUM_CURRENT_SETTINGS) == -1);
#else
namespace vantrel::platform {
inline constexpr std::int32_t SM_CXSCREEN = 0;
inline constexpr std::int32_t SM_CYSCREEN = 1;
inline constexpr std::int32_t SM_XVIRTUALSCREEN = 76;
inline constexpr std::int32_t SM_YVIRTUALSCREEN = 77;
inline constexpr std::int32_t SM_CXVIRTUALSCREEN = 78;
inline constexpr std::int32_t SM_CYVIRTUALSCREEN = 79;
inline constexpr std::int32_t SM_CMONITORS = 80;

inline constexpr std::int32_t MONITOR_DEFAULTTONULL = kMonitorDefaultToNull;
inline constexpr std::int32_t MONITOR_DEFAULTTOPRIMARY = kMonitorDefaultToPrimary;
inline constexpr std::int32_t MONITOR_DEFAULTTONEAREST = kMonitorDefaultToNearest;

inline constexpr std::int32_t EDD_GET_DEVICE_INTERFACE_NAME = 1;
inline constexpr std::int32_t ENUM_CURRENT_SETTINGS = -1;
}  // namespace vantrel::platform
#endif

namespace vantrel::platform {

// A device name passed by value crosses as the record's DeviceName up to its
// first NUL and is written back into DeviceName after the call, so the
// adapter's name survives a call that wrote the monitor's name there.
template <class Call>
auto PassDeviceName(DisplayDeviceRecord& dd, Call&& call) {
  const std::string name = dd.CString<DisplayDevice::DeviceName>();
  auto result = call(name.c_str());
  dd.SetText<DisplayDevice::DeviceName>(name);
  return result;
}

}  // namespace vantrel::platform

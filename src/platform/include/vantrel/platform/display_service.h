// The seven display configuration calls every monitor fact comes from. One
// implementation binds Windows' user32; another simulates a layout in-process.
// A call the service lacks throws Failure 453 (kFunctionMissing), on every call.
#pragma once

#include <cstdint>

#include "vantrel/platform/service_records.h"

#ifdef _WIN32
// The platform's own definitions.
#include <windows.h>
static_assert(SM_CXSCREEN == 0 && SM_CYSCREEN == 1 && SM_XVIRTUALSCREEN == 76 &&
              SM_YVIRTUALSCREEN == 77 && SM_CXVIRTUALSCREEN == 78 && SM_CYVIRTUALSCREEN == 79 &&
              SM_CMONITORS == 80);
static_assert(MONITOR_DEFAULTTONULL == 0 && MONITOR_DEFAULTTOPRIMARY == 1 &&
              MONITOR_DEFAULTTONEAREST == 2 && EDD_GET_DEVICE_INTERFACE_NAME == 1 &&
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

inline constexpr std::int32_t MONITOR_DEFAULTTONULL = 0;
inline constexpr std::int32_t MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr std::int32_t MONITOR_DEFAULTTONEAREST = 2;

inline constexpr std::int32_t EDD_GET_DEVICE_INTERFACE_NAME = 1;
inline constexpr std::int32_t ENUM_CURRENT_SETTINGS = -1;

}  // namespace vantrel::platform
#endif

namespace vantrel::platform {

// Pixels of the virtual screen, whose origin is the primary display's
// top-left corner.
struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom lie one past the last pixel.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int64_t width() const noexcept { return std::int64_t{right} - left; }
  std::int64_t height() const noexcept { return std::int64_t{bottom} - top; }
  bool contains(Point p) const noexcept {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Monitor and window handles cross as signed 32-bit values; 0 is "none".
class DisplayService {
 public:
  virtual ~DisplayService() = default;

  virtual std::int32_t GetSystemMetrics(std::int32_t nIndex) = 0;
  // lpDevice: null for the adapters, or an adapter's name for its monitors.
  virtual std::int32_t EnumDisplayDevicesA(const char* lpDevice, std::int32_t iDevNum,
                                           DisplayDeviceRecord& lpDisplayDevice,
                                           std::int32_t dwFlags) = 0;
  virtual std::int32_t EnumDisplaySettingsA(const char* lpszDeviceName, std::int32_t iModeNum,
                                            DeviceModeRecord& lpDevMode) = 0;
  virtual std::int32_t MonitorFromPoint(std::int32_t x, std::int32_t y, std::int32_t dwFlags) = 0;
  virtual std::int32_t MonitorFromRect(const Rect& lprc, std::int32_t dwFlags) = 0;
  virtual std::int32_t MonitorFromWindow(std::int32_t hwnd, std::int32_t dwFlags) = 0;
  virtual std::int32_t GetMonitorInfoA(std::int32_t hMonitor, MonitorInfoRecord& lpmi) = 0;
};

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

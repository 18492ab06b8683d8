/// @file
/// The seven display configuration calls every monitor fact comes from. One
/// implementation binds Windows' user32; another simulates a layout in-process.
/// A call the service lacks throws Failure 453 (kFunctionMissing), on every call.
#pragma once

#include <cstdint>

#include "vantrel/geometry.h"
#include "vantrel/platform/service_records.h"

namespace vantrel {

/// What a monitor lookup answers when no monitor holds the window or point
/// (the dwFlags of GetMonitorFromWindow and GetMonitorFromXYPoint): 0, the
/// primary monitor or the nearest one; the values of Windows'
/// MONITOR_DEFAULTTONULL, MONITOR_DEFAULTTOPRIMARY and MONITOR_DEFAULTTONEAREST.
///@{
inline constexpr std::int32_t kMonitorDefaultToNull = 0;
inline constexpr std::int32_t kMonitorDefaultToPrimary = 1;
inline constexpr std::int32_t kMonitorDefaultToNearest = 2;
///@}

}  // namespace vantrel

namespace vantrel::platform {

// The geometry of the whole library, by the names this boundary has always
// used.
using vantrel::Point;
using vantrel::Rect;

/// The seven display configuration calls, each as the Windows function of its
/// name. Monitor and window handles cross as signed 32-bit values; 0 is
/// "none". A call the service lacks throws Failure 453 (kFunctionMissing), on
/// every call.
class DisplayService {
 public:
  virtual ~DisplayService() = default;

  /// GetSystemMetrics: the system metric `nIndex` (an SM_ value); 0 where
  /// there is none.
  virtual std::int32_t GetSystemMetrics(std::int32_t nIndex) = 0;
  /// EnumDisplayDevicesA: fills `lpDisplayDevice` with device number
  /// `iDevNum`; 0 where there is no such device.
  /// lpDevice: null for the adapters, or an adapter's name for its monitors.
  virtual std::int32_t EnumDisplayDevicesA(const char* lpDevice, std::int32_t iDevNum,
                                           DisplayDeviceRecord& lpDisplayDevice,
                                           std::int32_t dwFlags) = 0;
  /// EnumDisplaySettingsA: fills `lpDevMode` with mode `iModeNum` of the
  /// adapter named `lpszDeviceName` (-1, ENUM_CURRENT_SETTINGS, for the mode
  /// in use); 0 where it cannot.
  virtual std::int32_t EnumDisplaySettingsA(const char* lpszDeviceName, std::int32_t iModeNum,
                                            DeviceModeRecord& lpDevMode) = 0;
  /// MonitorFromPoint: the monitor holding pixel (x, y), or what `dwFlags`
  /// asks for when none does.
  virtual std::int32_t MonitorFromPoint(std::int32_t x, std::int32_t y, std::int32_t dwFlags) = 0;
  /// MonitorFromRect: the monitor sharing the largest area with the
  /// rectangle, or what `dwFlags` asks for when none does.
  virtual std::int32_t MonitorFromRect(const Rect& lprc, std::int32_t dwFlags) = 0;
  /// MonitorFromWindow: the monitor sharing the largest area with the
  /// window, or what `dwFlags` asks for when none does.
  virtual std::int32_t MonitorFromWindow(std::int32_t hwnd, std::int32_t dwFlags) = 0;
  /// GetMonitorInfoA: fills `lpmi` with the monitor's rectangle, work area,
  /// flags and device name; 0 where it cannot.
  virtual std::int32_t GetMonitorInfoA(std::int32_t hMonitor, MonitorInfoRecord& lpmi) = 0;
};

}  // namespace vantrel::platform

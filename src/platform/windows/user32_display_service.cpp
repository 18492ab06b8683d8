#include "vantrel/platform/user32_display_service.h"

#include <cstdint>

#include "vantrel/base/late_binding.h"
#include "vantrel/platform/dynamic_functions.h"

namespace vantrel::platform {

namespace {

// Handles cross the model as signed 32-bit values; Windows keeps user handles
// within 32 bits and sign-extends them, so the round trip is exact.
std::int32_t FromHandle(void* h) {
  return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(h));
}
template <class H>
H ToHandle(std::int32_t v) {
  return reinterpret_cast<H>(static_cast<std::intptr_t>(v));
}

class User32 final : public DisplayService {
 public:
  std::int32_t GetSystemMetrics(std::int32_t nIndex) override {
    return getSystemMetrics_.get()(nIndex);
  }
  std::int32_t EnumDisplayDevicesA(const char* lpDevice, std::int32_t iDevNum,
                                   DisplayDeviceRecord& dd, std::int32_t dwFlags) override {
    static_assert(DisplayDeviceRecord::size() >= sizeof(DISPLAY_DEVICEA));
    return enumDisplayDevicesA_.get()(lpDevice, static_cast<DWORD>(iDevNum),
                                      reinterpret_cast<DISPLAY_DEVICEA*>(dd.data()),
                                      static_cast<DWORD>(dwFlags));
  }
  std::int32_t EnumDisplaySettingsA(const char* lpszDeviceName, std::int32_t iModeNum,
                                    DeviceModeRecord& dm) override {
    static_assert(DeviceModeRecord::size() >= sizeof(DEVMODEA));
    return enumDisplaySettingsA_.get()(lpszDeviceName, static_cast<DWORD>(iModeNum),
                                       reinterpret_cast<DEVMODEA*>(dm.data()));
  }
  std::int32_t MonitorFromPoint(std::int32_t x, std::int32_t y, std::int32_t dwFlags) override {
    return FromHandle(monitorFromPoint_.get()(POINT{x, y}, static_cast<DWORD>(dwFlags)));
  }
  std::int32_t MonitorFromRect(const Rect& lprc, std::int32_t dwFlags) override {
    const RECT rc{lprc.left, lprc.top, lprc.right, lprc.bottom};
    return FromHandle(monitorFromRect_.get()(&rc, static_cast<DWORD>(dwFlags)));
  }
  std::int32_t MonitorFromWindow(std::int32_t hwnd, std::int32_t dwFlags) override {
    return FromHandle(monitorFromWindow_.get()(ToHandle<HWND>(hwnd), static_cast<DWORD>(dwFlags)));
  }
  std::int32_t GetMonitorInfoA(std::int32_t hMonitor, MonitorInfoRecord& mi) override {
    static_assert(MonitorInfoRecord::size() >= sizeof(MONITORINFOEXA));
    return getMonitorInfoA_.get()(ToHandle<HMONITOR>(hMonitor),
                                  reinterpret_cast<MONITORINFO*>(mi.data()));
  }

 private:
  // Bound from the one user32 module the optional functions come from too;
  // both library names the seven have always been bound in load it.
  Library& user32_ = User32Library();
  LateBound<decltype(::GetSystemMetrics)> getSystemMetrics_{user32_, "GetSystemMetrics"};
  LateBound<decltype(::EnumDisplayDevicesA)> enumDisplayDevicesA_{user32_, "EnumDisplayDevicesA"};
  LateBound<decltype(::EnumDisplaySettingsA)> enumDisplaySettingsA_{user32_,
                                                                    "EnumDisplaySettingsA"};
  LateBound<decltype(::MonitorFromPoint)> monitorFromPoint_{user32_, "MonitorFromPoint"};
  LateBound<decltype(::MonitorFromRect)> monitorFromRect_{user32_, "MonitorFromRect"};
  LateBound<decltype(::MonitorFromWindow)> monitorFromWindow_{user32_, "MonitorFromWindow"};
  LateBound<decltype(::GetMonitorInfoA)> getMonitorInfoA_{user32_, "GetMonitorInfoA"};
};

}  // namespace

DisplayService& User32DisplayService() noexcept {
  static User32 service;
  return service;
}

}  // namespace vantrel::platform

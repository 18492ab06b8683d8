// What a display snapshot asks the platform, made straight in bare Win32 with
// nothing of the library's own: no fallbacks, no names made unique, no modes
// sorted; what the calls return is kept in plain structures. The floor for
// Displays::Take (with or without the mode list), for vantrel-list and for
// the watcher.
#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellscalingapi.h>

#include <string>
#include <vector>

namespace vantrel::bench {

struct BareDisplay {
  HMONITOR monitor;
  MONITORINFOEXW info;
  std::wstring friendly_name;
  std::wstring device_path;
  UINT dpi = 0;
  int width_mm = 0;
  int height_mm = 0;
  DEVMODEW current;
  struct Mode {
    DWORD width, height, bits, frequency;
  };
  std::vector<Mode> modes;
};

inline BOOL CALLBACK Collect(HMONITOR monitor, HDC, LPRECT, LPARAM out) {
  reinterpret_cast<std::vector<HMONITOR>*>(out)->push_back(monitor);
  return TRUE;
}

// Without `modes`, as Displays::Take({.modes = false}): the mode in use only.
// `config`, when given, receives QueryDisplayConfig's result.
inline std::vector<BareDisplay> BareSnapshot(bool modes = true, LONG* config = nullptr) {
  std::vector<HMONITOR> monitors;
  EnumDisplayMonitors(nullptr, nullptr, Collect, reinterpret_cast<LPARAM>(&monitors));
  std::vector<BareDisplay> displays(monitors.size());
  for (std::size_t k = 0; k < monitors.size(); ++k) {
    displays[k].monitor = monitors[k];
    displays[k].info.cbSize = sizeof displays[k].info;
    GetMonitorInfoW(monitors[k], &displays[k].info);
  }

  UINT32 path_count = 0;
  UINT32 mode_count = 0;
  GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &path_count, &mode_count);
  std::vector<DISPLAYCONFIG_PATH_INFO> paths(path_count);
  std::vector<DISPLAYCONFIG_MODE_INFO> config_modes(mode_count);
  const LONG queried = QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &path_count, paths.data(),
                                          &mode_count, config_modes.data(), nullptr);
  if (config) *config = queried;
  if (queried != ERROR_SUCCESS) path_count = 0;
  for (UINT32 p = 0; p < path_count; ++p) {
    DISPLAYCONFIG_SOURCE_DEVICE_NAME source{};
    source.header = {DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME, sizeof source,
                     paths[p].sourceInfo.adapterId, paths[p].sourceInfo.id};
    DisplayConfigGetDeviceInfo(&source.header);
    DISPLAYCONFIG_TARGET_DEVICE_NAME target{};
    target.header = {DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME, sizeof target,
                     paths[p].targetInfo.adapterId, paths[p].targetInfo.id};
    DisplayConfigGetDeviceInfo(&target.header);
    for (BareDisplay& d : displays) {
      if (wcscmp(d.info.szDevice, source.viewGdiDeviceName) == 0) {
        d.friendly_name = target.monitorFriendlyDeviceName;
        d.device_path = target.monitorDevicePath;
      }
    }
  }

  for (BareDisplay& d : displays) {
    UINT y = 0;
    GetDpiForMonitor(d.monitor, MDT_EFFECTIVE_DPI, &d.dpi, &y);
    if (HDC dc = CreateDCW(nullptr, d.info.szDevice, nullptr, nullptr)) {
      d.width_mm = GetDeviceCaps(dc, HORZSIZE);
      d.height_mm = GetDeviceCaps(dc, VERTSIZE);
      DeleteDC(dc);
    }
    d.current = DEVMODEW{};
    d.current.dmSize = sizeof d.current;
    EnumDisplaySettingsExW(d.info.szDevice, ENUM_CURRENT_SETTINGS, &d.current, 0);
    if (!modes) continue;
    for (DWORD index = 0;; ++index) {
      DEVMODEW dm{};
      dm.dmSize = sizeof dm;
      if (!EnumDisplaySettingsExW(d.info.szDevice, index, &dm, 0)) break;
      d.modes.push_back({dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel, dm.dmDisplayFrequency});
    }
  }
  return displays;
}

}  // namespace vantrel::bench

// The calls every fact of a display snapshot comes from, one method per kind
// of fact, as plain data: texts in UTF-8, numbers as the platform gives them,
// std::nullopt where the platform cannot give a fact (a function the system
// lacks, a call that fails). No method throws anything but std::bad_alloc.
// One implementation binds Windows (User32DisplayFacts); a simulated one
// stands in for it in tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/display_service.h"

namespace vantrel::platform {

// DisplayConfig's output technologies and rotations, as Windows numbers them.
namespace output_technology {
inline constexpr std::uint32_t kOther = 0xFFFFFFFF;
inline constexpr std::uint32_t kHd15 = 0;
inline constexpr std::uint32_t kDvi = 4;
inline constexpr std::uint32_t kHdmi = 5;
inline constexpr std::uint32_t kLvds = 6;
inline constexpr std::uint32_t kDisplayPortExternal = 10;
inline constexpr std::uint32_t kDisplayPortEmbedded = 11;
inline constexpr std::uint32_t kUdiEmbedded = 13;
inline constexpr std::uint32_t kDisplayPortUsbTunnel = 18;
inline constexpr std::uint32_t kInternal = 0x80000000;
}  // namespace output_technology
namespace rotation {
inline constexpr std::uint32_t kIdentity = 1;
inline constexpr std::uint32_t kRotate90 = 2;
inline constexpr std::uint32_t kRotate180 = 3;
inline constexpr std::uint32_t kRotate270 = 4;
}  // namespace rotation

// One monitor of the desktop: EnumDisplayMonitors and GetMonitorInfoW.
struct MonitorFacts {
  std::uintptr_t handle = 0;
  std::string device_name;  // the adapter's, as "\\.\DISPLAY1"
  Rect bounds;
  Rect work_area;
  bool primary = false;
  friend bool operator==(const MonitorFacts&, const MonitorFacts&) = default;
};

// One active DisplayConfig path: its source's GDI name, its target's name
// and path (empty where the platform gives none), its output technology,
// rotation and refresh rate, as DisplayConfig numbers them.
struct DisplayConfigTarget {
  std::string source_name;  // as "\\.\DISPLAY1"
  std::string friendly_name;
  std::string device_path;
  std::uint32_t output_technology = output_technology::kOther;
  std::uint32_t rotation = rotation::kIdentity;
  std::uint32_t refresh_numerator = 0;
  std::uint32_t refresh_denominator = 0;
  friend bool operator==(const DisplayConfigTarget&, const DisplayConfigTarget&) = default;
};

// The first monitor of an adapter: EnumDisplayDevicesW with
// EDD_GET_DEVICE_INTERFACE_NAME.
struct MonitorDevice {
  std::string device_string;  // as "Generic Non-PnP Monitor"
  std::string device_id;      // the monitor's device interface path
  friend bool operator==(const MonitorDevice&, const MonitorDevice&) = default;
};

// One DEVMODEW of EnumDisplaySettingsExW. The orientation is DEVMODE's
// (DMDO_DEFAULT 0 .. DMDO_270 3), absent where the mode does not say.
struct ModeFacts {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bits_per_pixel = 0;
  std::int32_t frequency = 0;
  std::optional<std::uint32_t> orientation;
  friend bool operator==(const ModeFacts&, const ModeFacts&) = default;
};

// Millimetres as GetDeviceCaps gives them (HORZSIZE, VERTSIZE); 0 is
// possible and means the platform does not know.
struct PhysicalSizeFacts {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const PhysicalSizeFacts&, const PhysicalSizeFacts&) = default;
};

// Adapters are named by their device name ("\\.\DISPLAY1"), monitors and
// windows by their handles as numbers.
class DisplayFactsService {
 public:
  virtual ~DisplayFactsService() = default;

  // Every monitor, in EnumDisplayMonitors' order; one that goes between the
  // two calls is left out.
  virtual std::vector<MonitorFacts> Monitors() = 0;
  // Every active path, from one query. Absent where the system lacks
  // DisplayConfig or the query fails.
  virtual std::optional<std::vector<DisplayConfigTarget>> DisplayConfig() = 0;
  virtual std::optional<MonitorDevice> MonitorDeviceOf(std::string_view adapter) = 0;
  // GetDpiForMonitor's effective DPI; absent without shcore or on failure.
  virtual std::optional<std::uint32_t> MonitorDpi(std::uintptr_t monitor) = 0;
  // LOGPIXELSX of the screen.
  virtual std::optional<std::uint32_t> SystemDpi() = 0;
  // Absent where no device context can be made for the adapter.
  virtual std::optional<PhysicalSizeFacts> PhysicalSize(std::string_view adapter) = 0;
  virtual std::optional<ModeFacts> CurrentMode(std::string_view adapter) = 0;
  // Every mode by index, in the platform's order, repeats included.
  virtual std::vector<ModeFacts> Modes(std::string_view adapter) = 0;
  // The window's rectangle in screen pixels, its restored one while it is
  // minimized; absent when the window is gone.
  virtual std::optional<Rect> WindowRect(std::uintptr_t window) = 0;
};

#ifdef _WIN32
// The running system's, through user32, gdi32 and shcore. One per process;
// it holds no state, so any thread may use it at any time.
DisplayFactsService& User32DisplayFacts() noexcept;
#endif

}  // namespace vantrel::platform

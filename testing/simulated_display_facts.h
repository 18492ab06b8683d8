// An in-process display facts service answering for a layout described in
// plain data. FromRects builds a layout from a few rectangles with what Wine
// gives for each display; a test then changes what it needs:
//
//   auto layout = SimulatedDisplays::FromRects({{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}});
//   layout.displays[1].target->friendly_name = "";   // no friendly name
//   layout.has_shcore = false;                        // no GetDpiForMonitor
//   SimulatedDisplayFacts service(layout);
//   Displays displays = Displays::Take(service);
//   service.Change([](SimulatedDisplays& l) { l.displays.pop_back(); });
//
// Every call locks the service, so another thread may take snapshots while a
// test changes the layout through Change.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/display_facts_service.h"

namespace vantrel::platform {

struct SimulatedDisplay {
  std::uintptr_t handle = 0;
  std::string device_name;  // as "\\.\DISPLAY1"
  Rect bounds;
  Rect work_area;
  bool primary = false;
  // Its DisplayConfig path; absent: DisplayConfig lists none for it. An empty
  // source name stands for the device name.
  std::optional<DisplayConfigTarget> target;
  // What EnumDisplayDevicesW says of its monitor; absent: the call fails.
  std::optional<MonitorDevice> device;
  // GetDpiForMonitor's answer; absent: the call fails.
  std::optional<std::uint32_t> dpi = 96;
  // HORZSIZE and VERTSIZE; absent: no device context can be made.
  std::optional<PhysicalSizeFacts> physical_size;
  std::optional<ModeFacts> current_mode;
  std::vector<ModeFacts> modes;  // in the order the platform would list them
};

struct SimulatedDisplays {
  std::vector<SimulatedDisplay> displays;  // in EnumDisplayMonitors' order
  bool has_display_config = true;          // false: the system lacks it, or the query fails
  bool has_shcore = true;                  // false: no GetDpiForMonitor
  std::optional<std::uint32_t> system_dpi = 96;
  std::map<std::uintptr_t, Rect> windows;  // window handle -> its rectangle

  // One display per rectangle, the first the primary, each as Wine gives it:
  // named "DisplayN" with a device path of its own, the device string
  // "Generic Non-PnP Monitor", 96 DPI, millimetres derived from the pixels,
  // internal, 60 Hz, 32 bits, and its mode and 800 x 600 at 8, 16 and 32 bits,
  // some listed twice.
  static SimulatedDisplays FromRects(const std::vector<Rect>& bounds);

  // Null when no display has the name.
  SimulatedDisplay* Find(std::string_view device_name);
};

class SimulatedDisplayFacts final : public DisplayFactsService {
 public:
  explicit SimulatedDisplayFacts(SimulatedDisplays layout = {}) : layout_(std::move(layout)) {}

  // For the thread that takes the snapshots; others use Change.
  SimulatedDisplays& layout() { return layout_; }
  void Change(const std::function<void(SimulatedDisplays&)>& change);

  // How many times each method was called.
  struct Counts {
    int monitors = 0;
    int display_config = 0;
    int monitor_device = 0;
    int monitor_dpi = 0;
    int system_dpi = 0;
    int physical_size = 0;
    int current_mode = 0;
    int modes = 0;
    int window_rect = 0;
  };
  Counts counts() const;

  std::vector<MonitorFacts> Monitors() override;
  // The paths in the reverse of the displays' order: nothing promises they
  // come in the monitors' order.
  std::optional<std::vector<DisplayConfigTarget>> DisplayConfig() override;
  std::optional<MonitorDevice> MonitorDeviceOf(std::string_view adapter) override;
  std::optional<std::uint32_t> MonitorDpi(std::uintptr_t monitor) override;
  std::optional<std::uint32_t> SystemDpi() override;
  std::optional<PhysicalSizeFacts> PhysicalSize(std::string_view adapter) override;
  std::optional<ModeFacts> CurrentMode(std::string_view adapter) override;
  std::vector<ModeFacts> Modes(std::string_view adapter) override;
  std::optional<Rect> WindowRect(std::uintptr_t window) override;

 private:
  const SimulatedDisplay* Adapter(std::string_view name) const;

  mutable std::mutex mutex_;
  SimulatedDisplays layout_;
  Counts counts_;
};

}  // namespace vantrel::platform

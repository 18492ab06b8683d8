// An in-process display service that answers the seven calls for a layout
// described in plain data, as user32 does. Tests, fuzzing and benchmarks use
// it. Any function can be made missing (it then fails with 453 on every call)
// and any query can be made to write nothing; every call can be logged.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "vantrel/platform/display_service.h"
#include "vantrel/platform/service_calls.h"

namespace vantrel::platform {

struct SimulatedLayout {
  struct Monitor {  // what the monitor query reports for one of an adapter's monitors
    std::string description;
    std::string interface_path;
    std::uint32_t state_flags = 3;  // attached and active
  };
  struct Adapter {
    std::string name;  // as "\\.\DISPLAY1"
    std::string description;
    std::uint32_t state_flags = 1;
    std::string id;
    std::vector<Monitor> monitors;
    bool has_settings = true;  // false: the settings query answers 0, writes nothing
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t frequency = 60;
  };
  struct MonitorHandle {
    std::int32_t handle = 0;
    Rect bounds;
    Rect work;
    std::string device;
    bool has_info = true;  // false: GetMonitorInfoA answers 0 for it
  };

  std::vector<Adapter> adapters;
  std::vector<MonitorHandle> monitors;  // the one holding (0, 0) is the primary
  std::map<std::int32_t, std::int32_t> metrics;
  std::map<std::int32_t, Rect> windows;  // window handle -> its rectangle

  // One attached adapter per rectangle, each driving one monitor with the
  // work area equal to its bounds, and the metrics a real service would give.
  static SimulatedLayout ForMonitors(const std::vector<Rect>& bounds);
  // Recomputes monitor count, primary size and virtual screen from `monitors`.
  void UpdateMetrics();
};

enum class Function {
  GetSystemMetrics,
  EnumDisplayDevicesA,
  EnumDisplaySettingsA,
  MonitorFromPoint,
  MonitorFromRect,
  MonitorFromWindow,
  GetMonitorInfoA,
};

// The queries whose records the walk reuses; any can be made to write nothing.
enum class Query { Adapter, AdapterMonitor, Settings, MonitorInfo };

struct Call {
  Function function;
  std::int32_t a = 0;      // the first integer argument (index, x, handle, ...)
  std::int32_t b = 0;      // the second (device index, y, flags, ...)
  std::string name;        // the device name passed, when one was
  bool by_name = false;    // a name was passed (null passes none)
  Rect rect{};             // MonitorFromRect: the rectangle
  std::int32_t flags = 0;  // MonitorFromRect: the flags
  friend bool operator==(const Call&, const Call&) = default;
};

class SimulatedDisplayService final : public DisplayService {
 public:
  explicit SimulatedDisplayService(SimulatedLayout layout = {}) : layout_(std::move(layout)) {}

  SimulatedLayout& layout() { return layout_; }
  std::set<Function> missing;
  std::set<Query> writes_nothing;
  bool log_calls = true;
  std::vector<Call> calls;

  std::int32_t GetSystemMetrics(std::int32_t nIndex) override;
  std::int32_t EnumDisplayDevicesA(const char* lpDevice, std::int32_t iDevNum,
                                   DisplayDeviceRecord& lpDisplayDevice,
                                   std::int32_t dwFlags) override;
  std::int32_t EnumDisplaySettingsA(const char* lpszDeviceName, std::int32_t iModeNum,
                                    DeviceModeRecord& lpDevMode) override;
  std::int32_t MonitorFromPoint(std::int32_t x, std::int32_t y, std::int32_t dwFlags) override;
  std::int32_t MonitorFromRect(const Rect& lprc, std::int32_t dwFlags) override;
  std::int32_t MonitorFromWindow(std::int32_t hwnd, std::int32_t dwFlags) override;
  std::int32_t GetMonitorInfoA(std::int32_t hMonitor, MonitorInfoRecord& lpmi) override;

  // The calls of one function, in the order made.
  std::vector<Call> CallsOf(Function f) const;

 private:
  void Enter(Function f, std::int32_t a, std::int32_t b, const char* name = nullptr);
  const SimulatedLayout::Adapter* FindAdapter(const char* name) const;
  std::int32_t Lookup(const Rect& rc, std::int32_t dwFlags) const;
  std::int32_t Primary() const;

  SimulatedLayout layout_;
};

}  // namespace vantrel::platform

#include "simulated_display_facts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ranges>

namespace vantrel::platform {

namespace {

// Wine's millimetres: pixels at 96 DPI.
std::int32_t Millimetres(std::int64_t pixels) {
  return static_cast<std::int32_t>(std::lround(static_cast<double>(pixels) * 25.4 / 96.0));
}

}  // namespace

SimulatedDisplays SimulatedDisplays::FromRects(const std::vector<Rect>& bounds) {
  SimulatedDisplays layout;
  for (std::size_t k = 0; k < bounds.size(); ++k) {
    const Rect& r = bounds[k];
    const std::string n = std::to_string(k + 1);
    char path[96];
    std::snprintf(
        path, sizeof path,
        "\\\\?\\DISPLAY#Default_Monitor#0000&%04zx#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}", k);
    const std::int64_t width = std::int64_t{r.right} - r.left;
    const std::int64_t height = std::int64_t{r.bottom} - r.top;
    const auto w = static_cast<std::int32_t>(width);
    const auto h = static_cast<std::int32_t>(height);

    SimulatedDisplay d;
    d.handle = 0x10001 + k;
    d.device_name = "\\\\.\\DISPLAY" + n;
    d.bounds = r;
    d.work_area = r;
    d.primary = k == 0;
    d.target = DisplayConfigTarget{
        "", "Display" + n, path, output_technology::kInternal, rotation::kIdentity, 60, 1};
    d.device = MonitorDevice{"Generic Non-PnP Monitor", path};
    d.physical_size = PhysicalSizeFacts{Millimetres(width), Millimetres(height)};
    d.current_mode = ModeFacts{w, h, 32, 60, 0};
    for (const std::int32_t bits : {32, 16, 8}) {
      d.modes.push_back({w, h, bits, 60, 0});
      d.modes.push_back({800, 600, bits, 60, 0});
      d.modes.push_back({w, h, bits, 60, 0});
    }
    layout.displays.push_back(std::move(d));
  }
  return layout;
}

SimulatedDisplay* SimulatedDisplays::Find(std::string_view device_name) {
  const auto found = std::ranges::find(displays, device_name, &SimulatedDisplay::device_name);
  return found == displays.end() ? nullptr : &*found;
}

void SimulatedDisplayFacts::Change(const std::function<void(SimulatedDisplays&)>& change) {
  const std::lock_guard lock(mutex_);
  change(layout_);
}

SimulatedDisplayFacts::Counts SimulatedDisplayFacts::counts() const {
  const std::lock_guard lock(mutex_);
  return counts_;
}

const SimulatedDisplay* SimulatedDisplayFacts::Adapter(std::string_view name) const {
  const auto found = std::ranges::find(layout_.displays, name, &SimulatedDisplay::device_name);
  return found == layout_.displays.end() ? nullptr : &*found;
}

std::vector<MonitorFacts> SimulatedDisplayFacts::Monitors() {
  const std::lock_guard lock(mutex_);
  ++counts_.monitors;
  std::vector<MonitorFacts> monitors;
  for (const SimulatedDisplay& d : layout_.displays) {
    monitors.push_back({d.handle, d.device_name, d.bounds, d.work_area, d.primary});
  }
  return monitors;
}

std::optional<std::vector<DisplayConfigTarget>> SimulatedDisplayFacts::DisplayConfig() {
  const std::lock_guard lock(mutex_);
  ++counts_.display_config;
  if (!layout_.has_display_config) return std::nullopt;
  std::vector<DisplayConfigTarget> targets;
  for (auto it = layout_.displays.rbegin(); it != layout_.displays.rend(); ++it) {
    const SimulatedDisplay& d = *it;
    if (!d.target) continue;
    targets.push_back(*d.target);
    if (targets.back().source_name.empty()) targets.back().source_name = d.device_name;
  }
  return targets;
}

std::optional<MonitorDevice> SimulatedDisplayFacts::MonitorDeviceOf(std::string_view adapter) {
  const std::lock_guard lock(mutex_);
  ++counts_.monitor_device;
  const SimulatedDisplay* d = Adapter(adapter);
  return d ? d->device : std::nullopt;
}

std::optional<std::uint32_t> SimulatedDisplayFacts::MonitorDpi(std::uintptr_t monitor) {
  const std::lock_guard lock(mutex_);
  ++counts_.monitor_dpi;
  if (!layout_.has_shcore) return std::nullopt;
  const auto found = std::ranges::find(layout_.displays, monitor, &SimulatedDisplay::handle);
  return found == layout_.displays.end() ? std::nullopt : found->dpi;
}

std::optional<std::uint32_t> SimulatedDisplayFacts::SystemDpi() {
  const std::lock_guard lock(mutex_);
  ++counts_.system_dpi;
  return layout_.system_dpi;
}

std::optional<PhysicalSizeFacts> SimulatedDisplayFacts::PhysicalSize(std::string_view adapter) {
  const std::lock_guard lock(mutex_);
  ++counts_.physical_size;
  const SimulatedDisplay* d = Adapter(adapter);
  return d ? d->physical_size : std::nullopt;
}

std::optional<ModeFacts> SimulatedDisplayFacts::CurrentMode(std::string_view adapter) {
  const std::lock_guard lock(mutex_);
  ++counts_.current_mode;
  const SimulatedDisplay* d = Adapter(adapter);
  return d ? d->current_mode : std::nullopt;
}

std::vector<ModeFacts> SimulatedDisplayFacts::Modes(std::string_view adapter) {
  const std::lock_guard lock(mutex_);
  ++counts_.modes;
  const SimulatedDisplay* d = Adapter(adapter);
  return d ? d->modes : std::vector<ModeFacts>{};
}

std::optional<Rect> SimulatedDisplayFacts::WindowRect(std::uintptr_t window) {
  const std::lock_guard lock(mutex_);
  ++counts_.window_rect;
  const auto found = layout_.windows.find(window);
  if (found == layout_.windows.end()) return std::nullopt;
  return found->second;
}

}  // namespace vantrel::platform

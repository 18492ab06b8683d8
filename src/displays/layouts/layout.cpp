// The layout of the system: its adapters with a monitor, the desktop's
// described as a snapshot describes them, the detached by what the system
// keeps for them.
#include "vantrel/displays/layout.h"

#include <algorithm>
#include <optional>

#include "vantrel/displays/display_read.h"
#include "vantrel/platform/system.h"

namespace vantrel {

namespace {

// A mode's numbers as a layout holds them: a driver's DWORD past INT32_MAX
// has come through as negative, and no display has a negative size.
DisplayMode NotNegative(const DisplayMode& m) {
  const auto count = [](std::int32_t v) { return std::max(v, std::int32_t{0}); };
  return {count(m.width), count(m.height), count(m.bits_per_pixel), count(m.frequency)};
}

const Display* ShownOn(const Displays& displays, std::string_view adapter) {
  const auto found = std::ranges::find_if(
      displays, [&](const Display& d) { return SameDeviceName(d.device_name, adapter); });
  return found == displays.end() ? nullptr : &*found;
}

// The settings an attached adapter has in use. A process's read of them
// (ENUM_CURRENT_SETTINGS) can stay at what it first read after another
// process changed the mode (Wine), while the monitor's rectangle and the kept
// settings are fresh: where the read contradicts the rectangle and the kept
// settings fit it, those are the ones in use. Where neither fits (a process
// the system scales for its DPI), the read stands.
const std::optional<platform::SettingsFacts>& InUse(const platform::AdapterFacts& adapter,
                                                    const Display* shown) {
  if (!shown || !adapter.current || !adapter.registry) return adapter.current;
  const auto fits = [&](const platform::SettingsFacts& s) {
    return s.position.x == shown->bounds.left && s.position.y == shown->bounds.top &&
           std::int64_t{s.mode.width} == std::int64_t{shown->bounds.right} - shown->bounds.left &&
           std::int64_t{s.mode.height} == std::int64_t{shown->bounds.bottom} - shown->bounds.top;
  };
  return !fits(*adapter.current) && fits(*adapter.registry) ? adapter.registry : adapter.current;
}

LayoutDisplay FromSnapshot(const Display& shown) {
  return {shown.key,
          shown.device_name,
          true,
          shown.primary,
          {shown.bounds.left, shown.bounds.top},
          NotNegative(shown.current_mode),
          shown.orientation};
}

}  // namespace

std::string NameOf(const LayoutDisplay& d) { return d.adapter + " (" + d.key + ")"; }

Layout LayoutOf(const Displays& displays) {
  Layout layout;
  for (const Display& d : displays) layout.displays.push_back(FromSnapshot(d));
  return layout;
}

Layout TakeLayout() { return TakeLayout(platform::CurrentSystem()); }

Layout TakeLayout(platform::System& system) {
  const std::vector<platform::AdapterFacts> adapters = system.Adapters();
  // The snapshot's reading, over the same adapters, gives an attached
  // display's key (DisplayConfig's path first) and orientation
  // (DisplayConfig's rotation first); its modes are not needed.
  const Displays displays = ReadDisplays(system, adapters, {.modes = false}).displays;
  Layout layout;
  for (const platform::AdapterFacts& adapter : adapters) {
    if (!adapter.monitor) continue;  // nothing connected: nothing to lay out
    const Display* shown = adapter.attached ? ShownOn(displays, adapter.device_name) : nullptr;
    LayoutDisplay d = shown ? FromSnapshot(*shown) : LayoutDisplay{};
    d.adapter = adapter.device_name;
    d.attached = adapter.attached;
    d.primary = adapter.attached && adapter.primary;
    if (!shown) {
      d.key =
          !adapter.monitor->device_id.empty() ? adapter.monitor->device_id : adapter.device_name;
    }
    const auto& settings = adapter.attached ? InUse(adapter, shown) : adapter.registry;
    if (settings) {
      d.position = settings->position;
      const platform::ModeFacts& m = settings->mode;
      d.mode = NotNegative({m.width, m.height, m.bits_per_pixel, m.frequency});
      if (!shown) d.orientation = DegreesOfOrientation(settings->mode.orientation).value_or(0);
    }
    layout.displays.push_back(std::move(d));
  }
  return layout;
}

}  // namespace vantrel

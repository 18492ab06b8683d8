// Taking a snapshot of the displays: every fact of each, from the system.
#include "vantrel/displays/display_read.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <numeric>
#include <tuple>
#include <unordered_set>

#include "vantrel/platform/system.h"

namespace vantrel {

namespace {

using platform::DisplayConfigTarget;
using platform::ModeFacts;

constexpr std::uint32_t kDefaultDpi = 96;

// Every path of the adapter's source, in DisplayConfig's order: more than one
// where the source drives a clone group.
std::vector<const DisplayConfigTarget*> PathsOf(
    const std::optional<std::vector<DisplayConfigTarget>>& config, std::string_view device_name) {
  std::vector<const DisplayConfigTarget*> paths;
  // An adapter without a name is no source's.
  if (!config || device_name.empty()) return paths;
  for (const DisplayConfigTarget& t : *config) {
    if (SameDeviceName(t.source_name, device_name)) paths.push_back(&t);
  }
  return paths;
}

Connection ConnectionOf(std::uint32_t technology) {
  namespace ot = platform::output_technology;
  switch (technology) {
    case ot::kInternal:
    case ot::kLvds:
    case ot::kDisplayPortEmbedded:
    case ot::kUdiEmbedded:
      return Connection::kInternal;
    case ot::kHdmi:
      return Connection::kHdmi;
    case ot::kDisplayPortExternal:
    case ot::kDisplayPortUsbTunnel:
      return Connection::kDisplayPort;
    case ot::kDvi:
      return Connection::kDvi;
    case ot::kHd15:
      return Connection::kVga;
    default:
      return Connection::kOther;
  }
}

// DisplayConfig's rotations count from 1, DEVMODE's orientations from 0; both
// name the same turns (ROTATE90 is DMDO_90).
std::optional<std::int32_t> DegreesOfRotation(std::uint32_t rotation) {
  if (rotation < platform::rotation::kIdentity || rotation > platform::rotation::kRotate270) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(rotation - platform::rotation::kIdentity) * 90;
}
}  // namespace

std::optional<std::int32_t> DegreesOfOrientation(std::optional<std::uint32_t> orientation) {
  if (!orientation || *orientation > 3) return std::nullopt;
  return static_cast<std::int32_t>(*orientation) * 90;
}

namespace {

RefreshRate RefreshOf(const DisplayConfigTarget* target, const std::optional<ModeFacts>& current) {
  if (target && target->refresh_numerator != 0 && target->refresh_denominator != 0) {
    // In lowest terms, so that 85000 / 1000 and 85 / 1 compare equal.
    const std::uint32_t divisor = std::gcd(target->refresh_numerator, target->refresh_denominator);
    return {target->refresh_numerator / divisor, target->refresh_denominator / divisor};
  }
  // DEVMODE's 0 and 1 mean the hardware's default rate: nothing says which.
  if (current && current->frequency > 1) {
    return {static_cast<std::uint32_t>(current->frequency), 1};
  }
  return {};
}

DisplayMode ToMode(const ModeFacts& m) {
  return {m.width, m.height, m.bits_per_pixel, m.frequency};
}

// The first of a name keeps it; each repeat takes the first "Name (n)" from 2
// on that nothing has, so a display really called "Name (2)" keeps its name
// too. The displays come first: a clone never takes a display's name.
void MakeNamesUnique(std::vector<Display>& displays) {
  std::unordered_set<std::string> taken;
  for (const Display& d : displays) {
    taken.insert(d.name);
    for (const Clone& c : d.clones) taken.insert(c.name);
  }
  std::unordered_set<std::string> seen;
  const auto make_unique = [&](std::string& name) {
    if (seen.insert(name).second) return;
    for (int n = 2;; ++n) {
      std::string candidate = name + " (" + std::to_string(n) + ")";
      if (taken.insert(candidate).second) {
        name = std::move(candidate);
        return;
      }
    }
  };
  for (Display& d : displays) make_unique(d.name);
  for (Display& d : displays) {
    for (Clone& c : d.clones) make_unique(c.name);
  }
}

std::vector<DisplayMode> ModesOf(platform::System& service, std::string_view adapter) {
  const std::vector<ModeFacts> facts = service.Modes(adapter);
  std::vector<DisplayMode> modes;
  modes.reserve(facts.size());
  std::ranges::transform(facts, std::back_inserter(modes), ToMode);
  std::ranges::sort(modes);
  modes.erase(std::unique(modes.begin(), modes.end()), modes.end());
  return modes;
}

// The monitor's adapter as listed; null where none is, or the monitor's has
// no name (an empty name would match an adapter listed without one).
const platform::AdapterFacts* AdapterOf(const std::vector<platform::AdapterFacts>& adapters,
                                        std::string_view device_name) {
  if (device_name.empty()) return nullptr;
  const auto found = std::ranges::find_if(adapters, [&](const platform::AdapterFacts& a) {
    return SameDeviceName(a.device_name, device_name);
  });
  return found == adapters.end() ? nullptr : &*found;
}

Display TakeOne(platform::System& service, const platform::MonitorFacts& monitor,
                const platform::AdapterFacts* adapter,
                std::vector<const DisplayConfigTarget*> paths, const SnapshotOptions& options,
                std::optional<std::optional<std::uint32_t>>& system_dpi,
                DisplaysRead::Sources& sources) {
  Display d;
  d.handle = monitor.handle;
  d.device_name = monitor.device_name;
  d.number = AdapterNumber(monitor.device_name).value_or(0);
  d.primary = monitor.primary;
  d.bounds = monitor.bounds;
  d.work_area = monitor.work_area;
  // The adapter's facts are asked by its name; an empty one would ask about
  // whichever display the platform takes for the default.
  const bool named = !monitor.device_name.empty();
  const platform::MonitorDevice* device =
      adapter && adapter->monitor ? &*adapter->monitor : nullptr;

  // Of a clone group's paths, the display's own is its adapter's first
  // monitor's, as it is without the clones: nothing promises DisplayConfig
  // lists that one first. Where none matches, the first listed stands in.
  auto own = paths.begin();
  if (paths.size() > 1 && device) {
    const auto first_monitor = std::ranges::find_if(paths, [&](const DisplayConfigTarget* t) {
      return SameDeviceName(t->device_path, device->device_id);
    });
    if (first_monitor != paths.end()) own = first_monitor;
  }
  const DisplayConfigTarget* target = paths.empty() ? nullptr : *own;
  if (target) paths.erase(own);
  for (const DisplayConfigTarget* t : paths) {
    d.clones.push_back(
        {t->friendly_name.empty() ? monitor.device_name : t->friendly_name, t->device_path});
  }
  // DisplayConfig's order may change from one query to the next; the keys'
  // does not.
  std::ranges::sort(d.clones, [](const Clone& a, const Clone& b) {
    return std::tie(a.key, a.name) < std::tie(b.key, b.name);
  });

  std::string name = target ? target->friendly_name : std::string{};
  std::string key = target ? target->device_path : std::string{};
  // The monitor's device stands in for what DisplayConfig did not give.
  if (name.empty() || key.empty()) {
    if (device) {
      if (name.empty()) name = device->device_string;
      if (key.empty()) key = device->device_id;
    }
  }
  sources.path = target != nullptr;
  sources.key = !key.empty();
  d.name = !name.empty() ? std::move(name) : monitor.device_name;
  d.key = !key.empty() ? std::move(key) : monitor.device_name;
  // A monitor whose adapter has no name still gets a key, though one that
  // lasts only as long as its handle.
  // GCC 12 at -O3 takes this operator+ for an overlapping copy of a length
  // near SIZE_MAX: a false report.
#ifndef __clang__
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
  if (d.key.empty()) d.key = "#" + std::to_string(monitor.handle);
#ifndef __clang__
#pragma GCC diagnostic pop
#endif

  std::optional<std::uint32_t> dpi = service.MonitorDpi(monitor.handle);
  if (!dpi || *dpi == 0) {
    if (!system_dpi) system_dpi = service.SystemDpi();
    dpi = *system_dpi;
  }
  d.dpi = dpi && *dpi != 0 ? *dpi : kDefaultDpi;

  if (!named) return d;

  if (const auto mm = service.PhysicalSize(monitor.device_name);
      mm && mm->width > 0 && mm->height > 0) {
    d.physical_size = PhysicalSize{mm->width, mm->height};
  }

  const std::optional<ModeFacts> current =
      adapter && adapter->current ? std::optional(adapter->current->mode) : std::nullopt;
  if (current) {
    d.current_mode = ToMode(*current);
    d.bits_per_pixel = current->bits_per_pixel;
    sources.mode = current->width > 0 && current->height > 0;
  }
  std::optional<std::int32_t> degrees;
  if (target) degrees = DegreesOfRotation(target->rotation);
  if (!degrees && current) degrees = DegreesOfOrientation(current->orientation);
  d.orientation = degrees.value_or(0);
  d.refresh_rate = RefreshOf(target, current);
  d.connection = target ? ConnectionOf(target->output_technology) : Connection::kUnknown;

  if (options.modes) d.modes = ModesOf(service, monitor.device_name);
  return d;
}
}  // namespace

bool SameDeviceName(std::string_view a, std::string_view b) noexcept {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return std::ranges::equal(a, b, {}, lower, lower);
}

std::optional<std::int32_t> AdapterNumber(std::string_view device_name) noexcept {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t start = device_name.size();
  while (start > 0 && digit(device_name[start - 1])) --start;
  std::int32_t number = 0;
  const char* end = device_name.data() + device_name.size();
  const auto [at, error] = std::from_chars(device_name.data() + start, end, number);
  if (start == device_name.size() || error != std::errc{} || at != end) return std::nullopt;
  return number;
}

Displays Displays::Take(SnapshotOptions options) {
  return Take(platform::CurrentSystem(), options);
}

Displays Displays::Take(platform::System& service, SnapshotOptions options) {
  return ReadDisplays(service, options).displays;
}

DisplaysRead ReadDisplays(platform::System& service, SnapshotOptions options) {
  // One reading of the adapters serves every display: each one's monitor and
  // settings in use.
  return ReadDisplays(service, service.Adapters(), options);
}

DisplaysRead ReadDisplays(platform::System& service,
                          const std::vector<platform::AdapterFacts>& adapters,
                          SnapshotOptions options) {
  const std::vector<platform::MonitorFacts> monitors = service.Monitors();
  // One DisplayConfig query serves every display: it is by far the dearest
  // call of a snapshot.
  const std::optional<std::vector<DisplayConfigTarget>> config = service.DisplayConfig();
  // Asked once, and only when some display's own DPI cannot be had.
  std::optional<std::optional<std::uint32_t>> system_dpi;

  std::vector<Display> displays;
  displays.reserve(monitors.size());
  std::vector<DisplaysRead::Sources> sources(monitors.size());
  for (std::size_t k = 0; k < monitors.size(); ++k) {
    const std::string& name = monitors[k].device_name;
    displays.push_back(TakeOne(service, monitors[k], AdapterOf(adapters, name),
                               PathsOf(config, name), options, system_dpi, sources[k]));
  }
  MakeNamesUnique(displays);
  return {Displays(std::move(displays)), config.has_value(), std::move(sources)};
}

Displays ReadModes(platform::System& service, const Displays& displays) {
  std::vector<Display> with_modes(displays.begin(), displays.end());
  for (Display& d : with_modes) {
    if (!d.device_name.empty()) d.modes = ModesOf(service, d.device_name);
  }
  return Displays(std::move(with_modes));
}

}  // namespace vantrel

#include "simulated_system.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ranges>
#include <utility>

namespace vantrel::platform {

namespace {

// Wine's millimetres: pixels at 96 DPI.
std::int32_t Millimetres(std::int64_t pixels) {
  return static_cast<std::int32_t>(std::lround(static_cast<double>(pixels) * 25.4 / 96.0));
}

// SW_RESTORE, which the seam does not name.
constexpr std::uint32_t kRestore = 9;
// ERROR_ACCESS_DENIED.
constexpr std::uint32_t kAccessDenied = 5;
// Where Windows keeps a minimized window.
constexpr Rect kMinimizedRect{-32000, -32000, -31840, -31973};

// A window's rectangle after it moved from `before` DPI to `after`: a per-
// monitor aware window rescales itself about its top-left corner.
Rect Rescaled(Rect r, std::uint32_t before, std::uint32_t after) {
  if (before == after) return r;
  const auto scale = [&](std::int64_t v) { return static_cast<std::int32_t>(v * after / before); };
  r.right = r.left + scale(r.width());
  r.bottom = r.top + scale(r.height());
  return r;
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

void SimulatedSystem::Change(const std::function<void(SimulatedDisplays&)>& change) {
  const std::lock_guard lock(mutex_);
  const std::vector<SimulatedDisplay> before = layout_.displays;
  change(layout_);
  MoveOrphans(layout_, before);
}

SimulatedSystem::Counts SimulatedSystem::counts() const {
  const std::lock_guard lock(mutex_);
  return counts_;
}

SimulatedDisplays& SimulatedSystem::Seen() {
  return per_monitor_aware || !unaware_ ? layout_ : *unaware_;
}

const SimulatedDisplay* SimulatedSystem::Adapter(std::string_view name) {
  const auto found = std::ranges::find(Seen().displays, name, &SimulatedDisplay::device_name);
  return found == Seen().displays.end() ? nullptr : &*found;
}

const SimulatedDisplay* SimulatedSystem::Attached(std::string_view name) {
  const SimulatedDisplay* d = Adapter(name);
  return d && d->attached ? d : nullptr;
}

std::vector<MonitorFacts> SimulatedSystem::Monitors() {
  const std::lock_guard lock(mutex_);
  ++counts_.monitors;
  std::vector<MonitorFacts> monitors;
  for (const SimulatedDisplay& d : Seen().displays) {
    if (!d.attached) continue;
    monitors.push_back({d.handle, d.device_name, d.bounds, d.work_area, d.primary});
  }
  return monitors;
}

std::optional<std::vector<DisplayConfigTarget>> SimulatedSystem::DisplayConfig() {
  const std::lock_guard lock(mutex_);
  ++counts_.display_config;
  if (!Seen().has_display_config) return std::nullopt;
  std::vector<DisplayConfigTarget> targets;
  for (auto it = Seen().displays.rbegin(); it != Seen().displays.rend(); ++it) {
    const SimulatedDisplay& d = *it;
    if (!d.target || !d.attached) continue;
    for (auto c = d.clones.rbegin(); c != d.clones.rend(); ++c) targets.push_back(*c);
    targets.push_back(*d.target);
    for (std::size_t k = targets.size() - 1 - d.clones.size(); k < targets.size(); ++k) {
      if (targets[k].source_name.empty()) targets[k].source_name = d.device_name;
    }
  }
  return targets;
}

std::optional<std::uint32_t> SimulatedSystem::MonitorDpi(std::uintptr_t monitor) {
  const std::lock_guard lock(mutex_);
  ++counts_.monitor_dpi;
  if (!Seen().has_shcore) return std::nullopt;
  const auto found = std::ranges::find(Seen().displays, monitor, &SimulatedDisplay::handle);
  return found == Seen().displays.end() || !found->attached ? std::nullopt : found->dpi;
}

std::optional<std::uint32_t> SimulatedSystem::SystemDpi() {
  const std::lock_guard lock(mutex_);
  ++counts_.system_dpi;
  return Seen().system_dpi;
}

std::optional<PhysicalSizeFacts> SimulatedSystem::PhysicalSize(std::string_view adapter) {
  const std::lock_guard lock(mutex_);
  ++counts_.physical_size;
  const SimulatedDisplay* d = Attached(adapter);
  return d ? d->physical_size : std::nullopt;
}

std::vector<ModeFacts> SimulatedSystem::Modes(std::string_view adapter) {
  const std::lock_guard lock(mutex_);
  ++counts_.modes;
  const SimulatedDisplay* d = Adapter(adapter);
  return d ? d->modes : std::vector<ModeFacts>{};
}

std::vector<AdapterFacts> SimulatedSystem::Adapters() {
  const std::lock_guard lock(mutex_);
  ++counts_.adapters;
  std::vector<AdapterFacts> adapters;
  for (const SimulatedDisplay& d : Seen().displays) {
    AdapterFacts& a = adapters.emplace_back();
    a.device_name = d.device_name;
    a.attached = d.attached;
    a.primary = d.primary;
    a.monitor = d.device;
    a.registry = d.registry;
    if (d.attached && d.current_mode) {
      a.current = SettingsFacts{{d.bounds.left, d.bounds.top}, *d.current_mode};
    }
  }
  return adapters;
}

namespace {

// The change's mode with the fields it leaves out taken from what the
// display has now.
ModeFacts Merged(const SimulatedDisplay& d, const ModeFacts& asked) {
  const ModeFacts now = d.current_mode.value_or(d.registry ? d.registry->mode : ModeFacts{});
  const auto pick = [](std::int32_t a, std::int32_t b) { return a > 0 ? a : b; };
  return {pick(asked.width, now.width), pick(asked.height, now.height),
          pick(asked.bits_per_pixel, now.bits_per_pixel), pick(asked.frequency, now.frequency),
          asked.orientation ? asked.orientation : now.orientation};
}

bool Offered(const SimulatedDisplay& d, const ModeFacts& m) {
  const std::uint32_t turn = m.orientation.value_or(0);
  if (turn > 3 || (turn != 0 && !d.rotates)) return false;
  // A display turned a quarter offers its modes with width and height swapped.
  const bool swapped = turn % 2 == 1;
  const auto same = [&](const ModeFacts& o) {
    return (swapped ? o.height : o.width) == m.width &&
           (swapped ? o.width : o.height) == m.height && o.bits_per_pixel == m.bits_per_pixel &&
           o.frequency == m.frequency;
  };
  return std::ranges::any_of(d.modes, same) || (d.current_mode && same(*d.current_mode));
}

}  // namespace

std::int32_t SimulatedSystem::ChangeSettings(std::string_view adapter, const SettingsChange& change,
                                             std::uint32_t flags) {
  const std::lock_guard lock(mutex_);
  ++counts_.change_settings;
  const SimulatedDisplay* d = Adapter(adapter);
  if (!d) return change_result::kBadParam;
  if (change.attached && !Offered(*d, Merged(*d, change.mode))) return change_result::kBadMode;
  if (flags & change_flags::kTest) return change_result::kSuccessful;
  pending_.push_back({std::string(adapter), change, flags});
  if (!(flags & change_flags::kNoReset)) Reset();
  return change_result::kSuccessful;
}

std::int32_t SimulatedSystem::ApplySettings() {
  const std::lock_guard lock(mutex_);
  Reset();
  return change_result::kSuccessful;
}

void SimulatedSystem::Reset() {
  ++counts_.resets;
  SimulatedDisplays& layout = Seen();
  const std::vector<SimulatedDisplay> before = layout.displays;
  for (const Pending& p : std::exchange(pending_, {})) {
    const auto found =
        std::ranges::find(layout.displays, p.adapter, &SimulatedDisplay::device_name);
    SimulatedDisplay& d = *found;
    const Point at =
        p.change.position.value_or(d.attached ? Point{d.bounds.left, d.bounds.top}
                                              : (d.registry ? d.registry->position : Point{}));
    if (!p.change.attached) {
      d.attached = false;
      d.primary = false;
      d.registry = SettingsFacts{at, {0, 0, 0, 0, std::nullopt}};
      continue;
    }
    const ModeFacts mode = Merged(d, p.change.mode);
    d.attached = true;
    d.current_mode = mode;
    // DisplayConfig tells the new orientation too, as Windows' does.
    if (d.target && mode.orientation) d.target->rotation = rotation::kIdentity + *mode.orientation;
    d.bounds = d.work_area = {at.x, at.y, at.x + mode.width, at.y + mode.height};
    if (p.flags & change_flags::kUpdateRegistry) d.registry = SettingsFacts{at, mode};
    if (p.flags & change_flags::kSetPrimary) {
      for (SimulatedDisplay& other : layout.displays) other.primary = &other == &d;
    }
  }
  if (after_reset) after_reset(layout);
  MoveOrphans(layout, before);
}

std::optional<Rect> SimulatedSystem::WindowRect(std::uintptr_t window) {
  const std::lock_guard lock(mutex_);
  ++counts_.window_rect;
  const SimulatedWindow* w = Find(window);
  return w ? std::optional(w->rect) : std::nullopt;
}

namespace {

std::int64_t SharedArea(const Rect& a, const Rect& b) {
  const std::int64_t w = std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
  const std::int64_t h = std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

const SimulatedDisplay& SimulatedSystem::DisplayOf(const Rect& r) {
  const auto& displays = Seen().displays;
  // A detached display holds no window.
  return *std::ranges::max_element(displays, std::ranges::less{}, [&](const SimulatedDisplay& d) {
    return d.attached ? SharedArea(r, d.bounds) : -1;
  });
}

SimulatedWindow* SimulatedSystem::Find(std::uintptr_t window) {
  auto& windows = Seen().windows;
  const auto found = windows.find(window);
  return found == windows.end() ? nullptr : &found->second;
}

void SimulatedSystem::Land(SimulatedWindow& w, const Rect& rect) {
  const std::uint32_t before = DisplayOf(w.rect).dpi.value_or(96);
  w.rect = rect;
  const std::uint32_t after = DisplayOf(w.rect).dpi.value_or(96);
  if (before == after || w.show != show_command::kNormal) return;
  w.normal = w.rect = Rescaled(w.rect, before, after);
}

std::optional<PlacementRecord> SimulatedSystem::Placement(std::uintptr_t window) {
  const std::lock_guard lock(mutex_);
  ++counts_.placements;
  const SimulatedWindow* w = Find(window);
  if (!w) return std::nullopt;
  return PlacementRecord{w->flags, w->show, {-1, -1}, {-1, -1}, w->normal};
}

CallResult SimulatedSystem::SetPlacement(std::uintptr_t window, const PlacementRecord& p) {
  const std::lock_guard lock(mutex_);
  ++counts_.set_placements;
  SimulatedWindow* w = Find(window);
  if (!w) return {kInvalidWindowHandle};
  if (w->refuses != 0) return {w->refuses};
  if (w->placement_fails) return {kAccessDenied};
  w->normal = p.normal;
  w->flags = p.flags;
  // Shown normal (activated or not), maximized or minimized, as the system
  // then reads it back.
  if (p.show_command == show_command::kMaximized) {
    w->show = show_command::kMaximized;
    Land(*w, DisplayOf(w->normal).work_area);
  } else if (IsMinimized(p.show_command)) {
    w->show = p.show_command;
    w->rect = kMinimizedRect;
  } else {
    w->show = show_command::kNormal;
    Land(*w, w->normal);
  }
  return {};
}

std::optional<std::uint32_t> SimulatedSystem::WindowDpi(std::uintptr_t window) {
  const std::lock_guard lock(mutex_);
  const SimulatedWindow* w = Find(window);
  return w ? DisplayOf(w->rect).dpi : std::nullopt;
}

CallResult SimulatedSystem::MoveTo(std::uintptr_t window, const Rect& rect) {
  const std::lock_guard lock(mutex_);
  ++counts_.moves;
  SimulatedWindow* w = Find(window);
  if (!w) return {kInvalidWindowHandle};
  if (w->refuses != 0) return {w->refuses};
  Land(*w, rect);
  w->normal = w->rect;
  w->moved_unread = true;
  return {};
}

namespace {

// `r` at the same offset from `to`'s corner as from `from`'s, kept inside
// `to` where it fits, else at its corner.
Rect Carried(const Rect& r, const Rect& from, const Rect& to) {
  const auto axis = [](std::int64_t at, std::int64_t length, std::int64_t low, std::int64_t high) {
    return length >= high - low ? low : std::clamp(at, low, high - length);
  };
  const std::int64_t w = r.width();
  const std::int64_t h = r.height();
  const std::int64_t left = axis(std::int64_t{to.left} + r.left - from.left, w, to.left, to.right);
  const std::int64_t top = axis(std::int64_t{to.top} + r.top - from.top, h, to.top, to.bottom);
  return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
          static_cast<std::int32_t>(left + w), static_cast<std::int32_t>(top + h)};
}

}  // namespace

void SimulatedSystem::MoveOrphans(SimulatedDisplays& layout,
                                  const std::vector<SimulatedDisplay>& before) {
  if (on_leave == OnLeave::kStay) return;
  const auto attached = [&](const SimulatedDisplay& old) {
    return std::ranges::any_of(layout.displays, [&](const SimulatedDisplay& d) {
      return d.attached && d.device_name == old.device_name;
    });
  };
  const auto primary = std::ranges::find_if(
      layout.displays, [](const SimulatedDisplay& d) { return d.attached && d.primary; });
  for (auto& [handle, w] : layout.windows) {
    const bool minimized = IsMinimized(w.show);
    const Rect& lies = minimized ? w.normal : w.rect;
    // The display it lay mostly on; none where it lay on none.
    const SimulatedDisplay* old = nullptr;
    std::int64_t most = 0;
    for (const SimulatedDisplay& d : before) {
      const std::int64_t shared = d.attached ? SharedArea(lies, d.bounds) : 0;
      if (shared > most) {
        most = shared;
        old = &d;
      }
    }
    if (!old || attached(*old)) continue;
    if (on_leave == OnLeave::kWine) {
      if (w.show == show_command::kMaximized) {
        w.show = show_command::kNormal;
        w.rect = w.normal;
      }
      continue;
    }
    if (primary == layout.displays.end()) continue;
    w.normal = Carried(w.normal, old->work_area, primary->work_area);
    if (w.show == show_command::kMaximized) {
      w.rect = primary->work_area;
    } else if (!minimized) {
      w.normal = w.rect = Rescaled(Carried(w.rect, old->work_area, primary->work_area),
                                   old->dpi.value_or(96), primary->dpi.value_or(96));
    }
  }
}

std::vector<std::uintptr_t> SimulatedSystem::Stacked() {
  const auto& windows = Seen().windows;
  std::vector<std::uintptr_t> order;
  for (const std::uintptr_t h : Seen().z_order) {
    if (windows.contains(h) && std::ranges::find(order, h) == order.end()) order.push_back(h);
  }
  for (const auto& [h, w] : windows) {
    if (std::ranges::find(order, h) == order.end()) order.push_back(h);
  }
  return order;
}

void SimulatedSystem::Restack(std::uintptr_t window, std::uintptr_t above) {
  std::vector<std::uintptr_t> order = Stacked();
  std::erase(order, window);
  const auto at = above == 0 ? order.begin() : std::ranges::find(order, above) + 1;
  order.insert(at, window);
  Seen().z_order = std::move(order);
}

std::vector<TopWindowFacts> SimulatedSystem::TopWindows() {
  const std::lock_guard lock(mutex_);
  ++counts_.top_windows;
  for (auto& [h, w] : Seen().windows) {
    // As Wine: normal now, left at its maximized rectangle.
    if (std::exchange(w.unmaximize_at_read, false) && w.show == show_command::kMaximized) {
      w.show = show_command::kNormal;
      w.normal = w.rect;
    }
    w.moved_unread = false;
  }
  std::vector<TopWindowFacts> out;
  for (const std::uintptr_t h : Stacked()) {
    const SimulatedWindow& w = Seen().windows.at(h);
    out.push_back({h, w.process_id, w.thread_id, w.class_name, w.title, w.visible, w.tool_window,
                   w.owned, w.cloaked, w.shell, w.rect, IsMinimized(w.show),
                   w.show == show_command::kMaximized});
  }
  return out;
}

std::vector<std::uintptr_t> SimulatedSystem::Stacking() {
  const std::lock_guard lock(mutex_);
  ++counts_.stackings;
  return Stacked();
}

std::string SimulatedSystem::ImageName(std::uint32_t process_id) {
  const std::lock_guard lock(mutex_);
  ++counts_.image_names;
  for (const auto& [h, w] : Seen().windows) {
    if (w.process_id == process_id && !w.image.empty()) return w.image;
  }
  return {};
}

CallResult SimulatedSystem::Show(std::uintptr_t window, std::uint32_t command) {
  const std::lock_guard lock(mutex_);
  ++counts_.shows;
  SimulatedWindow* w = Find(window);
  if (!w) return {kInvalidWindowHandle};
  if (w->refuses != 0) return {w->refuses};
  w->visible = true;
  // SW_RESTORE brings a minimized window back as it was before.
  const bool maximizes =
      command == show_command::kMaximized ||
      (command == kRestore && IsMinimized(w->show) && (w->flags & kRestoreToMaximized) != 0);
  if (maximizes) {
    w->show = show_command::kMaximized;
    Land(*w, DisplayOf(w->normal).work_area);
    w->unmaximize_at_read = w->late_unmaximize && w->moved_unread;
  } else if (IsMinimized(command)) {
    if (w->show == show_command::kMaximized) w->flags |= kRestoreToMaximized;
    if (w->show == show_command::kNormal) w->flags &= ~kRestoreToMaximized;
    w->show = show_command::kMinimized;
    w->rect = kMinimizedRect;
  } else {
    w->show = show_command::kNormal;
    Land(*w, w->normal);
  }
  std::uintptr_t& foreground = Seen().foreground;
  if (command == show_command::kMaximized || command == show_command::kNormal ||
      command == show_command::kMinimized || command == kRestore) {
    foreground = window;
    Restack(window, 0);
  } else if (command == show_command::kMinimize && foreground == window) {
    // The next window down that a person could work in takes over.
    const std::vector<std::uintptr_t> order = Stacked();
    foreground = 0;
    for (auto it = std::ranges::find(order, window) + 1; it != order.end(); ++it) {
      const SimulatedWindow& next = Seen().windows.at(*it);
      if (next.visible && !IsMinimized(next.show)) {
        foreground = *it;
        break;
      }
    }
  }
  return {};
}

std::uintptr_t SimulatedSystem::Foreground() {
  const std::lock_guard lock(mutex_);
  return Find(Seen().foreground) ? Seen().foreground : 0;
}

CallResult SimulatedSystem::SetForeground(std::uintptr_t window) {
  const std::lock_guard lock(mutex_);
  ++counts_.set_foregrounds;
  const SimulatedWindow* w = Find(window);
  if (!w) return {kInvalidWindowHandle};
  if (w->refuses != 0) return {w->refuses};
  Seen().foreground = window;
  Restack(window, 0);
  return {};
}

CallResult SimulatedSystem::PlaceBelow(std::uintptr_t window, std::uintptr_t above) {
  const std::lock_guard lock(mutex_);
  ++counts_.place_belows;
  const SimulatedWindow* w = Find(window);
  if (!w || (above != 0 && !Find(above))) return {kInvalidWindowHandle};
  if (w->refuses != 0) return {w->refuses};
  if (above != window) Restack(window, above);
  return {};
}

void* SimulatedSystem::EnterPerMonitorAware() noexcept {
  if (!can_set_awareness) return nullptr;
  void* previous = per_monitor_aware ? &aware_ : &unaware_mark_;
  per_monitor_aware = true;
  return previous;
}

void SimulatedSystem::RestoreAwareness(void* previous) noexcept {
  if (previous) per_monitor_aware = previous == &aware_;
}

}  // namespace vantrel::platform

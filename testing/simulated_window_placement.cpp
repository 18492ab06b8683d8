#include "simulated_window_placement.h"

#include <algorithm>

namespace vantrel::platform {

namespace {

WorkspaceOffset OffsetOf(const SimulatedDisplay& d) { return OffsetOf(d.bounds, d.work_area); }

std::int64_t SharedArea(const Rect& a, const Rect& b) {
  const std::int64_t w = std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
  const std::int64_t h = std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

const SimulatedDisplay& SimulatedWindows::DisplayOf(const Rect& r, bool shifted) const {
  const auto& displays = facts_.layout().displays;
  const auto area = [&](const SimulatedDisplay& d) {
    const WorkspaceOffset o = shifted ? OffsetOf(d) : WorkspaceOffset{};
    return SharedArea(NormalToScreen(r, NormalCoordinates::kWorkspace, o), d.bounds);
  };
  return *std::ranges::max_element(displays, std::ranges::less{}, area);
}

void SimulatedWindows::Land(SimulatedWindow& w, const Rect& rect) {
  const std::uint32_t before = DisplayOf(w.rect).dpi.value_or(96);
  w.rect = rect;
  const std::uint32_t after = DisplayOf(w.rect).dpi.value_or(96);
  if (before == after || w.show != show_command::kNormal) return;
  const auto scale = [&](std::int64_t v) { return static_cast<std::int32_t>(v * after / before); };
  w.rect.right = w.rect.left + scale(w.rect.width());
  w.rect.bottom = w.rect.top + scale(w.rect.height());
  w.normal = w.rect;
}

SimulatedWindow* SimulatedWindows::Find(std::uintptr_t window) {
  const auto found = windows.find(window);
  return found == windows.end() ? nullptr : &found->second;
}

std::optional<PlacementRecord> SimulatedWindows::Placement(std::uintptr_t window) {
  const SimulatedWindow* w = Find(window);
  if (!w) return std::nullopt;
  const bool minimized = w->show == show_command::kMinimized;
  const NormalCoordinates c = w->tool ? NormalCoordinates::kScreen : system_;
  const Rect normal =
      ScreenToNormal(w->normal, c, OffsetOf(DisplayOf(minimized ? w->normal : w->rect)));
  return PlacementRecord{w->flags, w->show, {-1, -1}, {-1, -1}, normal};
}

bool SimulatedWindows::SetPlacement(std::uintptr_t window, const PlacementRecord& p) {
  ++set_placements;
  SimulatedWindow* w = Find(window);
  if (!w) return false;
  const bool screen = w->tool || system_ == NormalCoordinates::kScreen;
  w->normal =
      screen ? p.normal : NormalToScreen(p.normal, system_, OffsetOf(DisplayOf(p.normal, true)));
  w->show = p.show_command;
  w->flags = p.flags;
  if (w->show == show_command::kMaximized) {
    Land(*w, DisplayOf(w->normal).work_area);
  } else if (w->show == show_command::kNormal) {
    Land(*w, w->normal);
  } else {
    w->rect = {-32000, -32000, -31840, -31973};
  }
  return true;
}

std::optional<Rect> SimulatedWindows::WindowRect(std::uintptr_t window) {
  const SimulatedWindow* w = Find(window);
  return w ? std::optional(w->rect) : std::nullopt;
}

bool SimulatedWindows::PlacedOnScreen(std::uintptr_t window) {
  const SimulatedWindow* w = Find(window);
  return w && w->tool;
}

std::optional<std::uint32_t> SimulatedWindows::WindowDpi(std::uintptr_t window) {
  const SimulatedWindow* w = Find(window);
  return w ? DisplayOf(w->rect).dpi : std::nullopt;
}

bool SimulatedWindows::MoveTo(std::uintptr_t window, const Rect& rect) {
  SimulatedWindow* w = Find(window);
  if (!w) return false;
  Land(*w, rect);
  w->normal = w->rect;
  return true;
}

std::optional<Rect> SimulatedWindows::ProbeNormalRect(const Rect& rect) {
  ++probes;
  return ScreenToNormal(rect, system_, OffsetOf(DisplayOf(rect)));
}

}  // namespace vantrel::platform

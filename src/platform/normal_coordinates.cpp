#include "vantrel/platform/normal_coordinates.h"

#include <algorithm>

namespace vantrel::platform {

namespace {

std::int32_t Saturated(std::int64_t v) noexcept {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}
Rect Shifted(const Rect& r, std::int64_t dx, std::int64_t dy) noexcept {
  return {Saturated(r.left + dx), Saturated(r.top + dy), Saturated(r.right + dx),
          Saturated(r.bottom + dy)};
}

}  // namespace

WorkspaceOffset OffsetOf(const Rect& bounds, const Rect& work_area) noexcept {
  return {std::int64_t{work_area.left} - bounds.left, std::int64_t{work_area.top} - bounds.top};
}

Rect NormalToScreen(const Rect& normal, NormalCoordinates c, WorkspaceOffset offset) noexcept {
  return c == NormalCoordinates::kScreen ? normal : Shifted(normal, offset.x, offset.y);
}
Rect ScreenToNormal(const Rect& screen, NormalCoordinates c, WorkspaceOffset offset) noexcept {
  return c == NormalCoordinates::kScreen ? screen : Shifted(screen, -offset.x, -offset.y);
}

std::optional<NormalCoordinates> ConventionShown(const Rect& window, const Rect& normal,
                                                 WorkspaceOffset offset) noexcept {
  if (offset.none()) return std::nullopt;
  if (normal == window) return NormalCoordinates::kScreen;
  if (normal == Shifted(window, -offset.x, -offset.y)) return NormalCoordinates::kWorkspace;
  return std::nullopt;
}

std::optional<NormalCoordinates> NormalConverter::learnt() const noexcept {
  const int v = learnt_.load(std::memory_order_relaxed);
  return v < 0 ? std::nullopt : std::optional(static_cast<NormalCoordinates>(v));
}

void NormalConverter::Observe(const Rect& window, const Rect& normal,
                              const MonitorAreas& monitor) noexcept {
  if (learnt()) return;
  const auto shown = ConventionShown(window, normal, OffsetOf(monitor.bounds, monitor.work_area));
  if (shown) learnt_.store(static_cast<int>(*shown), std::memory_order_relaxed);
}

NormalCoordinates NormalConverter::Convention(const MonitorAreas& monitor) {
  if (const auto known = learnt()) return *known;
  const Rect& work = monitor.work_area;
  const Rect probe{work.left, work.top, Saturated(work.left + 64LL), Saturated(work.top + 64LL)};
  const std::optional<Rect> normal = probe_(probe);
  const auto shown =
      normal ? ConventionShown(probe, *normal, OffsetOf(monitor.bounds, work)) : std::nullopt;
  if (!shown) return NormalCoordinates::kWorkspace;
  learnt_.store(static_cast<int>(*shown), std::memory_order_relaxed);
  return *shown;
}

// Where the work area starts at its monitor's corner the two agree, and
// nothing need be asked.
Rect NormalConverter::ToScreen(const Rect& normal, bool on_screen, const MonitorAreas& monitor) {
  const WorkspaceOffset offset = OffsetOf(monitor.bounds, monitor.work_area);
  if (offset.none() || on_screen) return normal;
  return NormalToScreen(normal, Convention(monitor), offset);
}

Rect NormalConverter::ToSystem(const Rect& screen, bool on_screen, const MonitorAreas& monitor) {
  const WorkspaceOffset offset = OffsetOf(monitor.bounds, monitor.work_area);
  if (offset.none() || on_screen) return screen;
  return ScreenToNormal(screen, Convention(monitor), offset);
}

}  // namespace vantrel::platform

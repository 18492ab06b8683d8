#include "vantrel/platform/window_placement_service.h"

namespace vantrel::platform {

NormalCoordinates Convention(WindowPlacementService& service, const Rect& bounds,
                             const Rect& work_area) {
  if (const auto known = service.learnt()) return *known;
  const WorkspaceOffset offset = OffsetOf(bounds, work_area);
  if (offset.none()) return NormalCoordinates::kWorkspace;
  const Rect probe{work_area.left, work_area.top, detail::Saturated(work_area.left + 64LL),
                   detail::Saturated(work_area.top + 64LL)};
  const std::optional<Rect> normal = service.ProbeNormalRect(probe);
  const auto shown = normal ? ConventionShown(probe, *normal, offset) : std::nullopt;
  if (!shown) return NormalCoordinates::kWorkspace;
  service.Learn(*shown);
  return *shown;
}

}  // namespace vantrel::platform

// The parts of the snapshot that need the running Windows system.
#include "vantrel/displays/displays.h"
#include "vantrel/platform/display_facts_service.h"

namespace vantrel {

Displays Displays::Take(SnapshotOptions options) {
  return Take(platform::User32DisplayFacts(), options);
}

const Display* Displays::OfWindow(HWND__* window, Fallback fallback) const noexcept {
  const std::optional<platform::Rect> rect =
      platform::User32DisplayFacts().WindowRect(reinterpret_cast<std::uintptr_t>(window));
  // A window that is gone has no place to be nearest to.
  if (!rect) return fallback == Fallback::kNone ? nullptr : Primary();
  return OfRect(*rect, fallback);
}

}  // namespace vantrel

// Saving and restoring a window's place on the running system.
#include "vantrel/displays/placement.h"
#include "vantrel/displays/window_placement.h"

namespace vantrel {

namespace {

WindowSystem RunningSystem() {
  return {platform::User32DisplayFacts(), platform::User32WindowPlacement()};
}
std::uintptr_t IdOf(HWND__* window) { return reinterpret_cast<std::uintptr_t>(window); }

}  // namespace

WindowPlacement SavePlacement(HWND__* window) {
  return SavePlacement(RunningSystem(), IdOf(window));
}

bool RestorePlacement(HWND__* window, const WindowPlacement& saved) {
  return RestorePlacement(RunningSystem(), IdOf(window), saved);
}

bool EnsureVisible(HWND__* window) { return EnsureVisible(RunningSystem(), IdOf(window)); }

}  // namespace vantrel

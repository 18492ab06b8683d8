// SavePlacement, RestorePlacement and EnsureVisible over the services, so
// that their logic runs against simulated ones as well as the running
// system's (placement_windows.cpp binds those).
#pragma once

#include <cstdint>

#include "vantrel/displays/placement.h"
#include "vantrel/platform/display_facts_service.h"
#include "vantrel/platform/window_placement_service.h"

namespace vantrel {

struct WindowSystem {
  platform::DisplayFactsService& displays;
  platform::WindowPlacementService& windows;
};

WindowPlacement SavePlacement(WindowSystem system, std::uintptr_t window);
bool RestorePlacement(WindowSystem system, std::uintptr_t window, const WindowPlacement& saved);
bool EnsureVisible(WindowSystem system, std::uintptr_t window);

}  // namespace vantrel

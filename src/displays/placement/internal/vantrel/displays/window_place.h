// A window's place now, as it would be saved, from what the system says of
// it: SavePlacement's rule, shared with the desktop's memory, which reads
// every program's windows against one snapshot.
#pragma once

#include "vantrel/displays/displays.h"
#include "vantrel/displays/placement.h"
#include "vantrel/platform/system.h"

namespace vantrel {

// A normal window's place is its window rectangle (a snapped window keeps
// its snapped place), a maximized or minimized one's its normal rectangle,
// on the display it fills or will be restored to.
WindowPlacement PlaceNow(const platform::PlacementRecord& record, const Rect& rect,
                         const Displays& now);

}  // namespace vantrel

// The memory's bounds, kept by its reader and by the keeper alike.
#pragma once

#include <string_view>

#include "vantrel/displays/desktop.h"

namespace vantrel {

// Drops the windows beyond kMaxWindowsPerSet of each set (the lowest in the
// Z-order) and the least recently used sets beyond kMaxSets, never the set
// named `keep`.
void Bound(DesktopMemory& memory, std::string_view keep);

}  // namespace vantrel

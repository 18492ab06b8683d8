// The layout as the adapters' settings alone say it, for reading back what
// an apply gave: without a snapshot's reads (keys from DisplayConfig,
// names), which right after a change take Windows as long as the change.
#pragma once

#include "vantrel/displays/layout.h"
#include "vantrel/platform/system.h"

namespace vantrel {

// Every adapter with a monitor, in order: attached or not, primary, and the
// position, mode and orientation of its settings in use (a detached one's
// kept settings, else zeros). Keys are the monitors' device paths.
Layout SettingsInForce(platform::System& system);

}  // namespace vantrel

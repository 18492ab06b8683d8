// What planning a layout shares with the owner that carries plans out
// (layout_changer.cpp) and the benchmark that makes the same calls bare: the
// texts of a display's state, what is written for a display, the modes an
// adapter offers, and the plan over modes read on demand.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "vantrel/displays/apply.h"
#include "vantrel/platform/system.h"

namespace vantrel {

// "1920x1080 32 bits 60 Hz", leaving out the fields at 0.
std::string ModeText(const DisplayMode& mode);
// "1920,0".
std::string PointText(Point point);
// All a display is, for a message: "attached at 0,0, 1920x1080 32 bits
// 60 Hz, primary", or "detached".
std::string StateText(const LayoutDisplay& display);

// What ChangeSettings is given for a display to become `to`, from `from`:
// attached, its position and its whole mode; the orientation only where it
// changes. A display to detach: detached at its position.
platform::SettingsChange SettingsFor(const LayoutDisplay& to, const LayoutDisplay& from);

// The modes an adapter offers, as the system lists them, each unturned.
OfferedModes ReadOffered(platform::System& system, std::string_view adapter);

// The modes of one adapter, looked up as a plan needs them; null where none
// are known. The pointer need live only until the next call.
using ModesReader = std::function<const OfferedModes*(std::string_view adapter)>;
// Plan with the modes read on demand; with no reader, every mode the plan
// gives is taken as offered, for the system's test to judge.
Result<LayoutPlan, Refusal> PlanOver(const Layout& now, const Layout& wanted,
                                     const ModesReader& modes_of);

}  // namespace vantrel

// One read of the displays with what it rests on: which of the platform's
// answers came. A read taken while the platform is still applying a change
// lacks some of them (DisplayConfig fails, or lists no path for a display),
// and the watcher must tell such a read from a layout that holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "vantrel/displays/displays.h"
#include "vantrel/platform/system.h"

namespace vantrel {

struct DisplaysRead {
  Displays displays;
  // DisplayConfig answered (with any number of paths).
  bool display_config = false;
  // Per display, in the order of `displays`.
  struct Sources {
    bool path = false;  // DisplayConfig listed its path (its friendly name)
    bool key = false;   // its key is the monitor's path, not its adapter's name
    bool mode = false;  // the mode in use was read, and is not 0 x 0
    friend bool operator==(const Sources&, const Sources&) = default;
  };
  std::vector<Sources> sources;
};

// What Displays::Take(service, options) reads, with its sources.
DisplaysRead ReadDisplays(platform::System& service, SnapshotOptions options = {});
// The same over the adapters `service` listed just now (its Adapters()), for
// a caller that needs them too.
DisplaysRead ReadDisplays(platform::System& service,
                          const std::vector<platform::AdapterFacts>& adapters,
                          SnapshotOptions options);

// The displays with the modes each offers, read now: all a snapshot with
// modes reads beyond one without.
Displays ReadModes(platform::System& service, const Displays& displays);

// DEVMODE's orientation (DMDO_DEFAULT 0 .. DMDO_270 3) in degrees; none
// where it says none or one that is no right angle.
std::optional<std::int32_t> DegreesOfOrientation(std::optional<std::uint32_t> orientation);

}  // namespace vantrel

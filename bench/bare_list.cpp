// The floor for vantrel-list --json: a bare console program that makes the
// same calls (bare_snapshot.h) and prints a line per display.
#include <cstdio>

#include "bare_snapshot.h"

int main() {
  for (const auto& d : vantrel::bench::BareSnapshot()) {
    const RECT& r = d.info.rcMonitor;
    std::printf("%ls %ls: (%ld,%ld)-(%ld,%ld), %u dpi, %zu modes\n", d.info.szDevice,
                d.friendly_name.c_str(), r.left, r.top, r.right, r.bottom, d.dpi, d.modes.size());
  }
  return 0;
}

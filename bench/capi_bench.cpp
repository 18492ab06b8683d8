// A snapshot through vantrel.dll's C interface (take, every display read,
// free) against the C++ Displays::Take, in one process. Batches of each
// alternate, which goes first switching every batch; the medians of the
// per-snapshot times and of the paired ratios give the figures.
#include <cstdio>

#include "timing.h"
#include "vantrel/displays/displays.h"
#include "vantrel/vantrel_c.h"

int main() {
  constexpr int kBatches = 61;
  constexpr int kRuns = 3;
  std::size_t displays = 0;
  const auto take_c = [&] {
    vantrel_snapshot* snapshot = nullptr;
    if (vantrel_snapshot_take(nullptr, &snapshot) != VANTREL_OK) return;
    vantrel_snapshot_count(snapshot, &displays);
    for (std::size_t k = 0; k < displays; ++k) {
      vantrel_display d{};
      d.size = sizeof d;
      vantrel_snapshot_display(snapshot, k, &d);
    }
    vantrel_snapshot_free(snapshot);
  };
  const auto take_cpp = [] { (void)vantrel::Displays::Take(); };
  const vantrel::bench::Paired t = vantrel::bench::Alternate(kBatches, kRuns, take_c, take_cpp);
  std::printf(
      "vantrel_snapshot_take, %zu display(s) read and freed: %.1f us / Displays::Take %.1f us = "
      "%.3f; median of the paired ratios %.3f (%d batches of %d each)\n",
      displays, t.first, t.second, t.ratio(), t.paired, kBatches, kRuns);
  return 0;
}

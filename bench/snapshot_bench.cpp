// A display snapshot against the same calls made straight in bare Win32
// (bare_snapshot.h): with every fact (Displays::Take), and without the mode
// list (Displays::Take({.modes = false}), what the watcher reads). Batches of
// each alternate, which goes first switching every batch; the medians of the
// per-snapshot times and of the paired ratios give the figures.
#include <cstdio>

#include "bare_snapshot.h"
#include "timing.h"
#include "vantrel/displays/displays.h"

namespace {

void Pair(const char* what, bool modes, int runs) {
  constexpr int kBatches = 61;
  std::size_t displays = 0;
  std::size_t mode_count = 0;
  const auto take = [&] {
    const vantrel::Displays d = vantrel::Displays::Take({.modes = modes});
    displays = d.size();
    mode_count = d.empty() ? 0 : d[0].modes.size();
  };
  const auto take_bare = [&] { (void)vantrel::bench::BareSnapshot(modes); };
  const vantrel::bench::Paired t = vantrel::bench::Alternate(kBatches, runs, take, take_bare);
  std::printf(
      "%s, %zu display(s), %zu modes on the first: %.1f us / bare calls %.1f us = %.3f; "
      "median of the paired ratios %.3f (%d batches of %d each)\n",
      what, displays, mode_count, t.first, t.second, t.ratio(), t.paired, kBatches, runs);
}

}  // namespace

int main() {
  Pair("Displays::Take", true, 3);
  // Some fifty times cheaper: more runs a batch for the same steadiness.
  Pair("Displays::Take({.modes = false})", false, 30);
  return 0;
}

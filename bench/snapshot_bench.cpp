// A display snapshot against the same calls made straight in bare Win32
// (bare_snapshot.h): with every fact (Displays::Take), and without the mode
// list (Displays::Take({.modes = false}), what the watcher reads). Batches of
// each alternate, which goes first switching every batch; the medians of the
// per-snapshot times and of the paired ratios give the figures.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bare_snapshot.h"
#include "timing.h"
#include "vantrel/displays/displays.h"

using vantrel::bench::Median;
using vantrel::bench::MicrosPerRun;

namespace {

void Pair(const char* what, bool modes, int runs) {
  // Many short batches, paired: this machine's load wanders from second to
  // second, and a pair's two batches share whatever it was.
  constexpr int kBatches = 61;
  std::vector<double> snapshot;
  std::vector<double> bare;
  std::vector<double> ratios;
  std::size_t displays = 0;
  std::size_t mode_count = 0;
  const auto take = [&] {
    const vantrel::Displays d = vantrel::Displays::Take({.modes = modes});
    displays = d.size();
    mode_count = d.empty() ? 0 : d[0].modes.size();
  };
  const auto take_bare = [&] { (void)vantrel::bench::BareSnapshot(modes); };
  take();  // both warmed up: shcore loaded, the optional functions bound
  take_bare();
  for (int b = 0; b < kBatches; ++b) {
    double s = 0;
    double f = 0;
    if (b % 2 == 0) {
      s = MicrosPerRun(runs, take);
      f = MicrosPerRun(runs, take_bare);
    } else {
      f = MicrosPerRun(runs, take_bare);
      s = MicrosPerRun(runs, take);
    }
    snapshot.push_back(s);
    bare.push_back(f);
    ratios.push_back(s / f);
  }
  const double s = Median(snapshot);
  const double f = Median(bare);
  std::printf(
      "%s, %zu display(s), %zu modes on the first: %.1f us / bare calls %.1f us = %.3f; "
      "median of the paired ratios %.3f (%d batches of %d each)\n",
      what, displays, mode_count, s, f, s / f, Median(ratios), kBatches, runs);
}

}  // namespace

int main() {
  Pair("Displays::Take", true, 3);
  // Some fifty times cheaper: more runs a batch for the same steadiness.
  Pair("Displays::Take({.modes = false})", false, 30);
  return 0;
}

// A snapshot through vantrel.dll's C interface (take, every display read,
// free) against the C++ Displays::Take, in one process. Batches of each
// alternate, which goes first switching every batch; the medians of the
// per-snapshot times and of the paired ratios give the figures.
#include <cstdio>
#include <vector>

#include "timing.h"
#include "vantrel/displays/displays.h"
#include "vantrel/vantrel_c.h"

using vantrel::bench::Median;
using vantrel::bench::MicrosPerRun;

int main() {
  constexpr int kBatches = 61;
  constexpr int kRuns = 3;
  std::vector<double> c;
  std::vector<double> cpp;
  std::vector<double> ratios;
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
  take_c();  // both warmed up: shcore loaded, the optional functions bound
  take_cpp();
  for (int b = 0; b < kBatches; ++b) {
    double s = 0;
    double f = 0;
    if (b % 2 == 0) {
      s = MicrosPerRun(kRuns, take_c);
      f = MicrosPerRun(kRuns, take_cpp);
    } else {
      f = MicrosPerRun(kRuns, take_cpp);
      s = MicrosPerRun(kRuns, take_c);
    }
    c.push_back(s);
    cpp.push_back(f);
    ratios.push_back(s / f);
  }
  const double s = Median(c);
  const double f = Median(cpp);
  std::printf(
      "vantrel_snapshot_take, %zu display(s) read and freed: %.1f us / Displays::Take %.1f us = "
      "%.3f; median of the paired ratios %.3f (%d batches of %d each)\n",
      displays, s, f, s / f, Median(ratios), kBatches, kRuns);
  return 0;
}

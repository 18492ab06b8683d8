// Refresh against the bare service calls on the real user32 (under the bench
// script, Wine's on a virtual X server): batches of each alternate, and the
// medians of the batch times and of the paired ratios give the figures.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bare_walk.h"
#include "timing.h"
#include "vantrel/monitors/clsMonitors.h"
#include "vantrel/platform/user32_display_service.h"

namespace {

using vantrel::bench::Median;
using vantrel::bench::MicrosPerRun;

}  // namespace

int main() {
  auto& svc = vantrel::platform::User32DisplayService();
  vantrel::clsMonitors list(svc);
  // Many short batches, paired, which goes first switching every batch: this
  // machine's speed wanders from second to second, and a pair shares it.
  constexpr int kBatches = 61, kRuns = 40;
  std::vector<double> refresh, bare, ratios;
  int adapters = 0;
  const auto take = [&] { return MicrosPerRun(kRuns, [&] { list.Refresh(); }); };
  const auto take_bare = [&] {
    return MicrosPerRun(kRuns, [&] { adapters = vantrel::bench::BareWalk(svc); });
  };
  for (int b = 0; b < kBatches; ++b) {
    double r = 0, f = 0;
    if (b % 2 == 0) {
      r = take();
      f = take_bare();
    } else {
      f = take_bare();
      r = take();
    }
    refresh.push_back(r);
    bare.push_back(f);
    ratios.push_back(r / f);
  }
  const double r = Median(refresh), f = Median(bare);
  std::printf(
      "Refresh on user32, %d adapter(s), %d monitor record(s): %.1f us / bare calls %.1f us = "
      "%.3f; median of the paired ratios %.3f (%d batches of %d each)\n",
      adapters, list.Monitors()->Count(), r, f, r / f, Median(ratios), kBatches, kRuns);
  return 0;
}

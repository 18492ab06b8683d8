// Refresh against the bare service calls on the real user32 (under the bench
// script, Wine's on a virtual X server): batches of each alternate, and the
// medians of the batch times give the ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bare_walk.h"
#include "vantrel/monitors/clsMonitors.h"
#include "vantrel/platform/user32_display_service.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class Body>
double MicrosPerRun(int runs, Body&& body) {
  const auto start = Clock::now();
  for (int k = 0; k < runs; ++k) body();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / runs;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  auto& svc = vantrel::platform::User32DisplayService();
  vantrel::clsMonitors list(svc);
  constexpr int kBatches = 15, kRuns = 200;
  std::vector<double> refresh, bare;
  int adapters = 0;
  for (int b = 0; b < kBatches; ++b) {
    refresh.push_back(MicrosPerRun(kRuns, [&] { list.Refresh(); }));
    bare.push_back(MicrosPerRun(kRuns, [&] { adapters = vantrel::bench::BareWalk(svc); }));
  }
  const double r = Median(refresh), f = Median(bare);
  std::printf(
      "Refresh on user32, %d adapter(s), %d monitor record(s): %.1f us / bare calls %.1f us = "
      "%.3f\n",
      adapters, list.Monitors()->Count(), r, f, r / f);
  return 0;
}

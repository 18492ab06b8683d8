// Refresh against the bare sequence of the same display-service calls in the
// same order, on simulated desktops of 1 to 64 adapters: the model's own work
// where a call costs next to nothing. Prints the ratios after the usual
// table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bare_walk.h"
#include "simulated_display_service.h"
#include "vantrel/monitors/clsMonitors.h"

namespace {

using namespace vantrel;
using namespace vantrel::platform;

// Monitors of 1920 x 1080 in rows of eight, logging off.
SimulatedDisplayService Desktop(int adapters) {
  std::vector<Rect> bounds;
  for (int k = 0; k < adapters; ++k) {
    const int x = (k % 8) * 1920, y = (k / 8) * 1080;
    bounds.push_back({x, y, x + 1920, y + 1080});
  }
  SimulatedDisplayService svc(SimulatedLayout::ForMonitors(bounds));
  svc.log_calls = false;
  return svc;
}

void Refresh(benchmark::State& state) {
  auto svc = Desktop(static_cast<int>(state.range(0)));
  clsMonitors list(svc);
  for (auto _ : state) {
    list.Refresh();
    benchmark::DoNotOptimize(list.Monitors()->Count());
  }
}

void BareCalls(benchmark::State& state) {
  auto svc = Desktop(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::bench::BareWalk(svc));
}

BENCHMARK(Refresh)->Arg(1)->Arg(4)->Arg(16)->Arg(64);
BENCHMARK(BareCalls)->Arg(1)->Arg(4)->Arg(16)->Arg(64);

// Keeps the times of the runs for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  std::map<std::string, double> ns;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) {
      // With repetitions, the median stands for the run.
      if (r.run_type == Run::RT_Iteration && !ns.contains(r.run_name.str())) {
        ns[r.run_name.str()] = r.GetAdjustedCPUTime();
      }
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
        ns[r.run_name.str()] = r.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* over : {"BareCalls"}) {
    std::printf("\nRefresh / %s (CPU time):\n", over);
    for (int n : {1, 4, 16, 64}) {
      const std::string arg = "/" + std::to_string(n);  // run names as "Refresh/4"
      const auto a = reporter.ns.find("Refresh" + arg), b = reporter.ns.find(over + arg);
      if (a == reporter.ns.end() || b == reporter.ns.end()) continue;
      std::printf("  %2d adapters: %9.0f ns / %9.0f ns = %.2f\n", n, a->second, b->second,
                  a->second / b->second);
    }
  }
  return 0;
}

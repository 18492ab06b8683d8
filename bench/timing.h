// Timing a piece of code inside a benchmark program.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace vantrel::bench {

// Microseconds per run of `body`, over `runs` runs.
template <class Body>
double MicrosPerRun(int runs, Body&& body) {
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < runs; ++k) body();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
             .count() /
         runs;
}

// The median; of an even count, the mean of the middle two.
inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The nearest-rank percentile, `p` in (0, 100]: the smallest value with at
// least p % of the values at or below it.
inline double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const double rank = p / 100.0 * static_cast<double>(v.size());
  std::size_t k = static_cast<std::size_t>(rank);
  if (static_cast<double>(k) < rank) ++k;
  return v[k == 0 ? 0 : k - 1];
}

// Two pieces of code timed side by side: many short batches of `runs` runs of
// each, which goes first switching every batch, since this machine's load
// wanders from second to second and a pair's two batches share whatever it
// was. `between` runs after each pair (a message pump, say).
struct Paired {
  double first = 0;   // the median microseconds per run of the first
  double second = 0;  // of the second
  double paired = 0;  // the median of the pairs' ratios
  double ratio() const { return first / second; }
};

template <class First, class Second, class Between>
Paired Alternate(int batches, int runs, First&& first, Second&& second, Between&& between) {
  first();  // both warmed up: libraries loaded, functions bound
  second();
  std::vector<double> a;
  std::vector<double> b;
  std::vector<double> ratios;
  for (int k = 0; k < batches; ++k) {
    double x = 0;
    double y = 0;
    if (k % 2 == 0) {
      x = MicrosPerRun(runs, first);
      y = MicrosPerRun(runs, second);
    } else {
      y = MicrosPerRun(runs, second);
      x = MicrosPerRun(runs, first);
    }
    between();
    a.push_back(x);
    b.push_back(y);
    ratios.push_back(x / y);
  }
  return {Median(a), Median(b), Median(ratios)};
}

template <class First, class Second>
Paired Alternate(int batches, int runs, First&& first, Second&& second) {
  return Alternate(batches, runs, first, second, [] {});
}

}  // namespace vantrel::bench

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

}  // namespace vantrel::bench

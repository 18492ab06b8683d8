// Timing a piece of code inside a benchmark program.
#pragma once

#include <algorithm>
#include <chrono>
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

}  // namespace vantrel::bench

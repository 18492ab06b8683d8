// Start-to-report time of two programs, measured side by side:
//   startup_bench RUNS A.exe "Caption A" B.exe "Caption B"
// Each run starts the program and waits until its window, found by caption,
// is shown with text in its text box; then closes it. The two alternate so
// that both see the same machine. Prints each median, the ratio A / B of the
// medians and the median of the ratios run by run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "timing.h"
#include "window_probe.h"

namespace {

using vantrel::bench::Median;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Milliseconds to a readable report, or a negative value when it never came.
double TimeOne(const std::wstring& exe, const wchar_t* caption) {
  const auto start = Clock::now();
  vantrel::probe::Started p;
  if (!vantrel::probe::Start(exe, p)) return -1;
  double ms = -1;
  if (HWND form = vantrel::probe::WaitForWindow(p, caption, 30s)) {
    HWND edit = FindWindowExW(form, nullptr, L"Edit", nullptr);
    while (edit && vantrel::probe::TextOf(edit).empty() && Clock::now() - start < 30s) Sleep(1);
    ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    PostMessageW(form, WM_CLOSE, 0, 0);
  }
  if (vantrel::probe::WaitForExit(p, 10s) < 0) TerminateProcess(p.pi.hProcess, 1);
  return ms;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: startup_bench RUNS A.exe \"Caption A\" B.exe \"Caption B\"\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  std::vector<double> a, b, ratios;
  TimeOne(argv[2], argv[3]);  // one of each first, to warm the caches
  TimeOne(argv[4], argv[5]);
  for (int k = 0; k < runs; ++k) {
    const double ta = TimeOne(argv[2], argv[3]);
    const double tb = TimeOne(argv[4], argv[5]);
    if (ta < 0 || tb < 0) {
      std::fprintf(stderr, "startup_bench: a run did not show its report\n");
      return 1;
    }
    a.push_back(ta);
    b.push_back(tb);
    ratios.push_back(ta / tb);
  }
  const double ma = Median(a), mb = Median(b);
  // The runs of a pair follow each other, so their ratio is the steadier
  // figure on a machine whose speed wanders.
  std::printf(
      "start to report, median of %d runs: %ls %.1f ms, %ls %.1f ms, ratio %.3f; median of the "
      "paired ratios %.3f\n",
      runs, argv[3], ma, argv[5], mb, ma / mb, Median(ratios));
  return 0;
}

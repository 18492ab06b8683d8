// A window's place under Wine, on a window shown on the primary:
//  - Fit beside what it is fitted to, one snapshot without modes;
//  - SavePlacement then RestorePlacement against the bare calls they stand
//    for, each with the snapshot it must take: a snapshot without modes and
//    GetWindowPlacement, then a snapshot without modes and
//    SetWindowPlacement with what was read.
// Batches of the two alternate, which goes first switching every batch; the
// medians of the per-run times and of the paired ratios give the figures.
#include <windows.h>

#include <cstdio>

#include "timing.h"
#include "vantrel/displays/placement.h"

using vantrel::bench::MicrosPerRun;

namespace {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

int main() {
  const HWND hwnd = CreateWindowExW(0, L"STATIC", L"placement_bench", WS_OVERLAPPEDWINDOW, 300, 200,
                                    400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  Sleep(300);
  Pump();

  const vantrel::Displays now = vantrel::Displays::Take({.modes = false});
  const vantrel::WindowPlacement saved = vantrel::SavePlacement(hwnd).value();
  vantrel::Placed placed{};
  const double fit = MicrosPerRun(200000, [&] { placed = vantrel::Fit(saved, now); });
  const double snapshot =
      MicrosPerRun(200, [] { (void)vantrel::Displays::Take({.modes = false}); });
  std::printf(
      "Fit: %.3f us (to %ld,%ld); a snapshot without modes, %zu displays: %.1f us, the time of "
      "%.0f Fits\n",
      fit, static_cast<long>(placed.bounds.left), static_cast<long>(placed.bounds.top), now.size(),
      snapshot, snapshot / fit);

  const auto ours = [&] {
    const vantrel::WindowPlacement p = vantrel::SavePlacement(hwnd).value();
    (void)vantrel::RestorePlacement(hwnd, p);
  };
  const auto bare = [&] {
    (void)vantrel::Displays::Take({.modes = false});
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(hwnd, &wp);
    (void)vantrel::Displays::Take({.modes = false});
    SetWindowPlacement(hwnd, &wp);
  };
  constexpr int kBatches = 61;
  constexpr int kRuns = 4;
  const vantrel::bench::Paired t = vantrel::bench::Alternate(kBatches, kRuns, ours, bare, Pump);
  std::printf(
      "SavePlacement + RestorePlacement: %.1f us / GetWindowPlacement + SetWindowPlacement with a "
      "snapshot each %.1f us = %.3f; median of the paired ratios %.3f (%d batches of %d each)\n",
      t.first, t.second, t.ratio(), t.paired, kBatches, kRuns);
  return 0;
}

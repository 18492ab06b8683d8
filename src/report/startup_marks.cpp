// The start-up marks of the benchmark build (bench/Vantrel_marks), never of
// the product: each stage's time since the process was created, in
// milliseconds. At "shown" the messages already queued (the first paint of
// the window and its controls) are handled, "painted" is marked, the marks are
// printed on one line and the process ends.
#include "startup_marks.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace report {

namespace {

double MsSinceCreation() {
  FILETIME created{}, exited{}, kernel{}, user{}, now{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  const auto ticks = [](FILETIME t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

char line[512];
std::size_t used = 0;

void Record(const char* stage) {
  // Only a stage's first time counts: the DPI handling lays out again.
  if (std::strstr(line, stage)) return;
  const int n =
      std::snprintf(line + used, sizeof line - used, "%s=%.2f ", stage, MsSinceCreation());
  if (n > 0) used += static_cast<std::size_t>(n);
}

}  // namespace

void StartupMark(const char* stage) noexcept {
  Record(stage);
  if (std::strcmp(stage, "shown") != 0) return;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  Record("painted");
  std::printf("%s\n", line);
  std::fflush(stdout);
  ExitProcess(0);
}

}  // namespace report

// How long the watcher takes to tell of a change, and whether it sleeps when
// nothing changes, under Wine on the three-monitor layout.
//
// Latency: the right display is switched between two modes, round by round.
// A hidden top-level window of this program, on a thread of its own, notes
// when Wine's WM_DISPLAYCHANGE broadcast reaches it; the watcher's callback
// notes when it runs. The difference is the latency, settling included (the
// quiet wait, the reads until two agree). Both windows get the same
// broadcast, one after the other, so the figure may be off by the time one
// window takes to answer it (microseconds: the bench's window only notes the
// time).
//
// Idle: a watcher left alone for some seconds, and its count of wake-ups.
//
//   VANTREL_BENCH_ROUNDS (default 10), VANTREL_BENCH_IDLE_SECONDS (default 10)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "display_change.h"
#include "timing.h"
#include "vantrel/displays/watcher.h"

namespace {

using vantrel::bench::Median;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int FromEnvironment(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value ? std::max(1, std::atoi(value)) : fallback;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The latest arrival of WM_DISPLAYCHANGE at the bench's own hidden window.
std::atomic<Clock::rep> g_arrival{0};

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DISPLAYCHANGE) {
    g_arrival.store(Clock::now().time_since_epoch().count());
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

class ProbeWindow {
 public:
  ProbeWindow() {
    std::promise<HWND> made;
    auto window = made.get_future();
    thread_ = std::thread([this, &made] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = ProbeProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"WatcherBenchProbe";
      RegisterClassW(&wc);
      HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0,
                               nullptr, nullptr, wc.hInstance, nullptr);
      made.set_value(w);
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
      DestroyWindow(w);
    });
    window_ = window.get();
  }
  ~ProbeWindow() {
    PostMessageW(window_, WM_QUIT, 0, 0);
    thread_.join();
  }
  explicit operator bool() const { return window_ != nullptr; }

 private:
  std::thread thread_;
  HWND window_ = nullptr;
};

}  // namespace

int main() {
  const int rounds = FromEnvironment("VANTREL_BENCH_ROUNDS", 10);
  const int idle_seconds = FromEnvironment("VANTREL_BENCH_IDLE_SECONDS", 10);

  const vantrel::Displays start = vantrel::Displays::Take();
  const vantrel::Display* right = nullptr;
  for (const vantrel::Display& d : start) {
    if (d.device_name == "\\\\.\\DISPLAY3") right = &d;
  }
  if (!right) {
    std::fprintf(stderr, "needs the three-monitor layout (no \\\\.\\DISPLAY3)\n");
    return 1;
  }
  const POINT at{right->bounds.left, right->bounds.top};
  const int width = static_cast<int>(right->bounds.width());
  const int height = static_cast<int>(right->bounds.height());

  // A snapshot's cost while nothing changes: settling takes at least two,
  // besides the quiet wait and the interval.
  {
    std::vector<double> takes;
    for (int i = 0; i < 20; ++i) {
      const Clock::time_point t = Clock::now();
      vantrel::Displays::Take();
      takes.push_back(Ms(Clock::now() - t));
    }
    std::printf("Displays::Take with nothing changing, median of 20: %.1f ms\n", Median(takes));
  }

  // Idle first, with nothing changing.
  {
    vantrel::DisplayWatcher watcher([](const vantrel::DisplayChanges&) {});
    std::this_thread::sleep_for(std::chrono::seconds(idle_seconds));
    std::printf("idle: %llu wake-ups in %d s\n", static_cast<unsigned long long>(watcher.Wakeups()),
                idle_seconds);
  }

  ProbeWindow probe;
  if (!probe) {
    std::fprintf(stderr, "no probe window\n");
    return 1;
  }
  std::mutex mutex;
  std::condition_variable told;
  std::optional<Clock::time_point> callback_at;
  vantrel::DisplayWatcher watcher([&](const vantrel::DisplayChanges&) {
    const Clock::time_point now = Clock::now();
    std::lock_guard lock(mutex);
    callback_at = now;
    told.notify_all();
  });

  std::vector<double> latencies, applies, after_return;
  for (int round = 0; round < rounds; ++round) {
    const bool smaller = round % 2 == 0;
    {
      std::lock_guard lock(mutex);
      callback_at.reset();
    }
    g_arrival.store(0);
    const Clock::time_point asked = Clock::now();
    const LONG result =
        smaller ? vantrel::probe::ChangeDisplay(right->device_name.c_str(), 800, 600, at)
                : vantrel::probe::ChangeDisplay(right->device_name.c_str(), width, height, at);
    const Clock::time_point returned = Clock::now();
    std::unique_lock lock(mutex);
    const bool got = told.wait_for(lock, 10s, [&] { return callback_at.has_value(); });
    const Clock::rep arrival = g_arrival.load();
    if (result != DISP_CHANGE_SUCCESSFUL || !got || arrival == 0) {
      std::printf("round %2d: change %ld, event %s, broadcast %s\n", round, result,
                  got ? "yes" : "no", arrival ? "yes" : "no");
      continue;
    }
    const Clock::time_point arrived{Clock::duration(arrival)};
    latencies.push_back(Ms(*callback_at - arrived));
    applies.push_back(Ms(returned - asked));
    after_return.push_back(Ms(*callback_at - returned));
    std::printf(
        "round %2d: broadcast %6.1f ms after the call, call returned after %7.1f ms, "
        "callback %6.1f ms after the broadcast\n",
        round, Ms(arrived - asked), Ms(returned - asked), latencies.back());
  }
  // Back as it was, whatever the count of rounds.
  if (rounds % 2) vantrel::probe::ChangeDisplay(right->device_name.c_str(), width, height, at);

  if (latencies.empty()) return 1;
  std::printf(
      "broadcast to callback, median of %zu: %.1f ms (min %.1f, max %.1f); "
      "median ChangeDisplaySettingsEx: %.1f ms; callback after its return, median: %.1f ms\n",
      latencies.size(), Median(latencies), *std::min_element(latencies.begin(), latencies.end()),
      *std::max_element(latencies.begin(), latencies.end()), Median(applies), Median(after_return));
  return 0;
}

// How long the watcher takes to tell of a change, against the floor, and
// whether it sleeps when nothing changes, under Wine on the three-monitor
// layout.
//
// The right display is switched between two modes, round by round. Rounds
// alternate in pairs between the watcher and the floor, so that each sees
// both directions and the same machine, and neither runs beside the other:
//  - the watcher: made before the change, its latency is the time from the
//    start of the change (the call that applies it) to its first callback;
//    that event's layout is checked against the final one;
//  - the floor: a bare program of ours, a hidden top-level window on a
//    thread of its own; right after Wine's WM_DISPLAYCHANGE broadcast
//    reaches it, it reads the displays in a loop with the bare calls of a
//    snapshot without modes (bare_snapshot.h) until it sees the final layout.
//    Its time is counted from the start of the change too.
// The final layout of each direction is read once before, after a change
// and its return, with the layout holding still for half a second.
//
// With VANTREL_BENCH_RECORD=N the floor rounds read every N ms instead (0:
// in a loop) and print every read that differs from the one before, as the
// watcher's replay tests take them (tests/displays/test_watcher_settle.cpp):
// the layout as "=" and each display as number:left,top,right,bottom, with
// "/WxH" where its mode in use is not the bounds' size, displays apart by
// ";", where it differs from the read before; then the milliseconds after
// the broadcast and "F" where QueryDisplayConfig failed, else "+" for each
// display that DisplayConfig gave a path and "-" for one it did not. Those
// reads go on for half a second after the change returns; after the rounds,
// the left display is turned off and on again, recorded the same way.
//
// Idle: a watcher left alone for some seconds, and its count of wake-ups.
//
//   VANTREL_BENCH_ROUNDS (default 40), VANTREL_BENCH_IDLE_SECONDS (default 10),
//   VANTREL_BENCH_MODES=1: the watcher reads the modes too, as vantrel-list's
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bare_snapshot.h"
#include "display_change.h"
#include "timing.h"
#include "vantrel/displays/watcher.h"

namespace {

using vantrel::bench::BareDisplay;
using vantrel::bench::Median;
using vantrel::bench::Percentile;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int FromEnvironment(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value ? std::max(1, std::atoi(value)) : fallback;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// What a program would call the layout: each display's adapter, place,
// name, key and size of its mode.
struct Seen {
  std::string device, name, key;
  vantrel::Rect bounds;
  std::int32_t width = 0, height = 0;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> SeenOf(const std::vector<BareDisplay>& displays) {
  std::vector<Seen> seen;
  for (const BareDisplay& d : displays) {
    const RECT& r = d.info.rcMonitor;
    seen.push_back({Narrow(d.info.szDevice), Narrow(d.friendly_name), Narrow(d.device_path),
                    vantrel::Rect{r.left, r.top, r.right, r.bottom},
                    static_cast<std::int32_t>(d.current.dmPelsWidth),
                    static_cast<std::int32_t>(d.current.dmPelsHeight)});
  }
  return seen;
}

std::vector<Seen> SeenOf(const vantrel::Displays& displays) {
  std::vector<Seen> seen;
  for (const vantrel::Display& d : displays) {
    seen.push_back(
        {d.device_name, d.name, d.key, d.bounds, d.current_mode.width, d.current_mode.height});
  }
  return seen;
}

// The layout once it has held still for half a second.
std::vector<Seen> Settled() {
  std::vector<Seen> last = SeenOf(vantrel::bench::BareSnapshot(false));
  for (int same = 0; same < 10;) {
    std::this_thread::sleep_for(50ms);
    std::vector<Seen> now = SeenOf(vantrel::bench::BareSnapshot(false));
    same = now == last ? same + 1 : 0;
    last = std::move(now);
  }
  return last;
}

// One read in the replay tests' form (see the top): its layout, and its
// DisplayConfig answer.
std::pair<std::string, std::string> Recorded(const std::vector<BareDisplay>& displays,
                                             LONG config) {
  std::string layout = "=";
  std::string paths = config == ERROR_SUCCESS ? "" : "F";
  for (const BareDisplay& d : displays) {
    const RECT& r = d.info.rcMonitor;
    const std::string device = Narrow(d.info.szDevice);
    if (layout.size() > 1) layout += ";";
    layout += device.substr(device.find_last_not_of("0123456789") + 1) + ":" +
              std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
              "," + std::to_string(r.bottom);
    const auto w = static_cast<LONG>(d.current.dmPelsWidth);
    const auto h = static_cast<LONG>(d.current.dmPelsHeight);
    if (w != r.right - r.left || h != r.bottom - r.top) {
      layout += "/" + std::to_string(w) + "x" + std::to_string(h);
    }
    if (config == ERROR_SUCCESS) paths += d.device_path.empty() ? "-" : "+";
  }
  return {layout, paths};
}

// The bench's own hidden top-level window: notes when Wine's broadcast
// arrives and signals it.
std::atomic<Clock::rep> g_arrival{0};
HANDLE g_broadcast = nullptr;

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DISPLAYCHANGE) {
    g_arrival.store(Clock::now().time_since_epoch().count());
    SetEvent(g_broadcast);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

class ProbeWindow {
 public:
  ProbeWindow() {
    std::promise<HWND> made;
    auto window = made.get_future();
    thread_ = std::thread([&made] {
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

// The floor: from the broadcast on, bare reads until the one that shows
// `wanted` (and with `record`, on until half a second after the change has
// returned, printing them). The time it was seen, from the change's start.
std::optional<double> ReadWhileChanging(const std::function<LONG()>& change,
                                        const std::vector<Seen>* wanted,
                                        std::optional<int> record) {
  ResetEvent(g_broadcast);
  g_arrival.store(0);
  LONG result = DISP_CHANGE_FAILED;
  std::atomic<bool> returned{false};
  const Clock::time_point asked = Clock::now();
  std::thread changer([&] {
    result = change();
    returned = true;
  });
  std::optional<double> seen_at;
  if (WaitForSingleObject(g_broadcast, 10000) == WAIT_OBJECT_0) {
    const Clock::time_point arrived{Clock::duration(g_arrival.load())};
    std::pair<std::string, std::string> last;
    std::optional<Clock::time_point> returned_at;
    for (;;) {
      const Clock::time_point t = Clock::now();
      LONG config = ERROR_SUCCESS;
      const std::vector<BareDisplay> read = vantrel::bench::BareSnapshot(false, &config);
      if (!seen_at && wanted && SeenOf(read) == *wanted) seen_at = Ms(Clock::now() - asked);
      if (record) {
        std::pair<std::string, std::string> recorded = Recorded(read, config);
        if (recorded.first != last.first) std::printf(" %s", recorded.first.c_str());
        if (recorded != last) std::printf(" %.0f%s", Ms(t - arrived), recorded.second.c_str());
        last = std::move(recorded);
        if (returned && !returned_at) returned_at = Clock::now();
        if (returned_at && Clock::now() - *returned_at > 500ms) break;
        if (*record > 0) Sleep(static_cast<DWORD>(*record));
      } else if (seen_at) {
        break;
      }
      if (Clock::now() - asked > 10s) break;
    }
  }
  changer.join();
  if (result != DISP_CHANGE_SUCCESSFUL) return std::nullopt;
  return seen_at;
}

void Summary(const char* what, const std::vector<double>& v) {
  if (v.empty()) {
    std::printf("%s: no round\n", what);
    return;
  }
  std::printf("%s, %zu rounds: median %.1f ms, p95 %.1f ms (min %.1f, max %.1f)\n", what, v.size(),
              Median(v), Percentile(v, 95), *std::min_element(v.begin(), v.end()),
              *std::max_element(v.begin(), v.end()));
}

}  // namespace

int main() {
  const int rounds = FromEnvironment("VANTREL_BENCH_ROUNDS", 40);
  const int idle_seconds = FromEnvironment("VANTREL_BENCH_IDLE_SECONDS", 10);
  std::optional<int> record;
  if (const char* pace = std::getenv("VANTREL_BENCH_RECORD")) record = std::atoi(pace);

  const vantrel::Displays start = vantrel::Displays::Take();
  const vantrel::Display* right = nullptr;
  for (const vantrel::Display& d : start) {
    if (d.device_name == "\\\\.\\DISPLAY3") right = &d;
  }
  if (!right) {
    std::fprintf(stderr, "needs the three-monitor layout (no \\\\.\\DISPLAY3)\n");
    return 1;
  }
  const std::string device = right->device_name;
  const POINT at{right->bounds.left, right->bounds.top};
  const int width = static_cast<int>(right->bounds.width());
  const int height = static_cast<int>(right->bounds.height());
  const auto change = [&](bool smaller) {
    return smaller ? vantrel::probe::ChangeDisplay(device.c_str(), 800, 600, at)
                   : vantrel::probe::ChangeDisplay(device.c_str(), width, height, at);
  };

  // A snapshot's cost while nothing changes: settling takes at least two.
  for (const bool modes : {true, false}) {
    std::vector<double> takes;
    for (int i = 0; i < 20; ++i) {
      const Clock::time_point t = Clock::now();
      vantrel::Displays::Take({.modes = modes});
      takes.push_back(Ms(Clock::now() - t));
    }
    std::printf("Displays::Take (%s) with nothing changing, median of 20: %.1f ms\n",
                modes ? "with modes" : "without modes", Median(takes));
  }

  {
    vantrel::DisplayWatcher watcher([](const vantrel::DisplayChanges&) {});
    std::this_thread::sleep_for(std::chrono::seconds(idle_seconds));
    std::printf("idle: %llu wake-ups in %d s\n", static_cast<unsigned long long>(watcher.Wakeups()),
                idle_seconds);
  }

  g_broadcast = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  ProbeWindow probe;
  if (!probe || !g_broadcast) {
    std::fprintf(stderr, "no probe window\n");
    return 1;
  }
  // The final layouts, smaller ([1]) and back ([0]).
  std::vector<Seen> final_layout[2];
  for (const bool smaller : {true, false}) {
    if (change(smaller) != DISP_CHANGE_SUCCESSFUL) return 1;
    final_layout[smaller] = Settled();
  }

  vantrel::DisplayWatcher::Options options;
  options.snapshot.modes = std::getenv("VANTREL_BENCH_MODES") != nullptr;
  std::vector<double> latencies, floors, broadcasts, applies;
  int wrong = 0, events_total = 0, unsettled = 0;
  for (int round = 0; round < rounds; ++round) {
    const bool smaller = round % 2 == 0;
    const bool floor_round = (round / 2) % 2 == 1;
    const std::vector<Seen>& wanted = final_layout[smaller];
    if (floor_round) {
      if (record) std::printf("round %d, %s:\n", round, smaller ? "smaller" : "back");
      const std::optional<double> seen_at =
          ReadWhileChanging([&] { return change(smaller); }, &wanted, record);
      if (record) std::printf("\n");
      if (!seen_at) {
        std::printf("round %2d (floor): the change failed or its final layout was not seen\n",
                    round);
        continue;
      }
      floors.push_back(*seen_at);
      std::printf("round %2d (floor):   final layout %7.1f ms after the change started\n", round,
                  *seen_at);
      continue;
    }

    ResetEvent(g_broadcast);
    g_arrival.store(0);
    std::mutex mutex;
    std::condition_variable told;
    std::vector<std::pair<Clock::time_point, std::vector<Seen>>> events;
    vantrel::DisplayWatcher watcher(
        [&](const vantrel::DisplayChanges& c) {
          const Clock::time_point now = Clock::now();
          std::lock_guard lock(mutex);
          events.emplace_back(now, SeenOf(c.now));
          unsettled += c.settling == vantrel::Settling::kSettled ? 0 : 1;
          told.notify_all();
        },
        options);
    const Clock::time_point asked = Clock::now();
    const LONG result = change(smaller);
    const Clock::time_point returned = Clock::now();
    std::unique_lock lock(mutex);
    const bool got = told.wait_for(lock, 10s, [&] { return !events.empty(); });
    // Any later event of the same change.
    told.wait_for(lock, 1500ms, [&] { return events.size() > 1; });
    const Clock::rep arrival = g_arrival.load();
    if (result != DISP_CHANGE_SUCCESSFUL || !got || arrival == 0) {
      std::printf("round %2d: change %ld, event %s, broadcast %s\n", round, result,
                  got ? "yes" : "no", arrival ? "yes" : "no");
      continue;
    }
    const Clock::time_point arrived{Clock::duration(arrival)};
    const bool right_layout = events.front().second == wanted;
    wrong += right_layout ? 0 : 1;
    events_total += static_cast<int>(events.size());
    latencies.push_back(Ms(events.front().first - asked));
    broadcasts.push_back(Ms(arrived - asked));
    applies.push_back(Ms(returned - asked));
    std::printf(
        "round %2d (watcher): broadcast %6.1f ms, callback %7.1f ms after the change started, "
        "its return %7.1f ms; %zu event(s), the first %s\n",
        round, Ms(arrived - asked), latencies.back(), Ms(returned - asked), events.size(),
        right_layout ? "final" : "NOT the final layout");
  }
  // Back as it was.
  change(false);
  if (record) {
    const vantrel::Display* left_display = nullptr;
    for (const vantrel::Display& d : start) {
      if (d.device_name == "\\\\.\\DISPLAY2") left_display = &d;
    }
    if (left_display) {
      const vantrel::Display left = *left_display;
      std::printf("left off:\n");
      ReadWhileChanging(
          [&] {
            return vantrel::probe::ChangeDisplay(left.device_name.c_str(), 0, 0, {0, 0});
          },
          nullptr, record);
      std::printf("\nleft on:\n");
      ReadWhileChanging(
          [&] {
            return vantrel::probe::ChangeDisplay(
                left.device_name.c_str(), static_cast<int>(left.bounds.width()),
                static_cast<int>(left.bounds.height()), {left.bounds.left, left.bounds.top});
          },
          nullptr, record);
      std::printf("\n");
    }
  }

  Summary("watcher: the change to the callback", latencies);
  Summary("floor: the change to a bare read of the final layout", floors);
  Summary("Wine's broadcast after the change started", broadcasts);
  Summary("ChangeDisplaySettingsEx", applies);
  std::printf(
      "watcher (%s modes): %d of %zu rounds told first of a layout that was not the final one; "
      "%d events in all, %d of them unsettled\n",
      options.snapshot.modes ? "with" : "without", wrong, latencies.size(), events_total,
      unsettled);
  return latencies.empty() || floors.empty() ? 1 : 0;
}

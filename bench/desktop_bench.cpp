// The desktop's memory under Wine on the three-monitor layout, over 50
// visible top-level windows of a child process (another program's, as the
// keeper meets them):
//  - DesktopKeeper::Restore of the 50 windows, each moved to another display
//    beforehand, against the calls a restore needs made bare: SetWindowPos
//    for each window, built beforehand (Wine refuses SetWindowPlacement on
//    another process's window, so that is what moves them there), and one
//    snapshot without modes, timed in the same run. Wine restacks a window
//    so moved, so a third side adds the Z-order calls the keeper makes to
//    put the order back. Which side goes first turns every round; the
//    keeper's identity and "already there" reads count on its side. Then
//    one more restore through a counting system (the seam calls it makes
//    and where its time goes) and the user32 calls behind its reads, timed
//    a window each.
//  - The keeper left running on the real event source's timer with nothing
//    changing: its wake-ups a second, the seam calls of a poll, and the CPU
//    time of this process (and of the child and of Wine's server, where
//    /proc tells) as a share of one core, beside the same span without it.
//
//   VANTREL_BENCH_ROUNDS (default 15): rounds, each side restoring once;
//   VANTREL_BENCH_IDLE_S (default 20): seconds of the idle run.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "counting_system.h"
#include "timing.h"
#include "vantrel/displays/desktop.h"
#include "vantrel/platform/event_source.h"
#include "vantrel/platform/state_store.h"

namespace {

using vantrel::bench::CountingSystem;
using vantrel::bench::Median;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kWindows = 50;
constexpr int kWidth = 300;
constexpr int kHeight = 200;

int EnvInt(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text ? std::max(1, std::atoi(text)) : fallback;
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The child: the windows, shown without taking the focus, served until the
// parent ends it or ends itself.
int Child(int count, DWORD parent_id) {
  const HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, parent_id);
  if (!parent) return 2;
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VantrelDesktopBench";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  if (!RegisterClassW(&wc)) return 2;
  for (int k = 0; k < count; ++k) {
    const std::wstring title = L"desktop_bench " + std::to_wstring(k);
    const HWND w =
        CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 40 + 10 * k,
                        40 + 5 * k, kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    if (!w) return 2;
    ShowWindow(w, SW_SHOWNOACTIVATE);
  }
  const std::wstring ready = L"VantrelDesktopBenchReady" + std::to_wstring(parent_id);
  const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, ready.c_str());
  if (!event) return 2;
  SetEvent(event);
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &parent, FALSE, INFINITE, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return 0;
    Pump();
  }
}

struct Spawned {
  PROCESS_INFORMATION info{};
  std::vector<HWND> windows;  // top of the Z-order first
};

BOOL CALLBACK Collect(HWND w, LPARAM param) {
  auto* spawned = reinterpret_cast<Spawned*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  if (process == spawned->info.dwProcessId && IsWindowVisible(w)) spawned->windows.push_back(w);
  return TRUE;
}

bool Spawn(Spawned& spawned) {
  const std::wstring ready = L"VantrelDesktopBenchReady" + std::to_wstring(GetCurrentProcessId());
  const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(path) + L"\" --windows " + std::to_wstring(kWindows) +
                      L" " + std::to_wstring(GetCurrentProcessId());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &spawned.info)) {
    return false;
  }
  if (WaitForSingleObject(event, 30000) != WAIT_OBJECT_0) return false;
  CloseHandle(event);
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&spawned));
  return spawned.windows.size() == kWindows;
}

// Work areas: the primary's first, then the others.
std::vector<RECT> WorkAreas() {
  std::vector<RECT> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR m, HDC, LPRECT, LPARAM param) -> BOOL {
        auto* out = reinterpret_cast<std::vector<RECT>*>(param);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoW(m, &info)) return TRUE;
        if (info.dwFlags & MONITORINFOF_PRIMARY) {
          out->insert(out->begin(), info.rcWork);
        } else {
          out->push_back(info.rcWork);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

// Ten columns and five rows of windows over a work area.
std::vector<RECT> Grid(const RECT& area) {
  std::vector<RECT> places;
  const int step_x = std::max(1, static_cast<int>((area.right - area.left - kWidth - 20) / 9));
  const int step_y = std::max(1, static_cast<int>((area.bottom - area.top - kHeight - 20) / 4));
  for (int k = 0; k < kWindows; ++k) {
    const int x = area.left + 10 + (k % 10) * step_x;
    const int y = area.top + 10 + (k / 10) * step_y;
    places.push_back({x, y, x + kWidth, y + kHeight});
  }
  return places;
}

void MoveAll(const std::vector<HWND>& windows, const std::vector<RECT>& places) {
  for (std::size_t k = 0; k < windows.size(); ++k) {
    const RECT& r = places[k];
    SetWindowPos(windows[k], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
}

int Misplaced(const std::vector<HWND>& windows, const std::vector<RECT>& places) {
  int wrong = 0;
  for (std::size_t k = 0; k < windows.size(); ++k) {
    RECT r{};
    GetWindowRect(windows[k], &r);
    if (!EqualRect(&r, &places[k]) || IsZoomed(windows[k]) || IsIconic(windows[k])) ++wrong;
  }
  return wrong;
}

// Lets Wine take in the moves (the child's X events) before the next side.
void Settle() {
  Sleep(150);
  Pump();
}

// CPU seconds of a Windows process, kernel and user.
double CpuSeconds(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
  const auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

std::string ReadUnixFile(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

// One NUL-ended entry of a /proc environ, "NAME=value"; empty where absent.
std::string EnvironEntry(const std::string& vars, const std::string& name) {
  for (std::size_t at = 0; at < vars.size();) {
    const std::size_t end = std::min(vars.find('\0', at), vars.size());
    if (vars.compare(at, name.size() + 1, name + "=") == 0) {
      return vars.substr(at, end - at);
    }
    at = end + 1;
  }
  return {};
}

// A Unix process of this Wine prefix by the start of its name, and whether
// its command line holds `argument`: one whose environment names the
// WINEPREFIX given (other sessions on the machine run their own server and
// programs); 0 where none.
long FindUnixProcess(const std::string& name_starts, const char* argument, bool holds) {
  const char* prefix = std::getenv("WINEPREFIX");
  if (!prefix) return 0;
  const std::string wanted = std::string("WINEPREFIX=") + prefix;
  WIN32_FIND_DATAA found;
  const HANDLE dir = FindFirstFileA("Z:\\proc\\*", &found);
  if (dir == INVALID_HANDLE_VALUE) return 0;
  long pid = 0;
  do {
    const char* name = found.cFileName;
    if (!std::isdigit(static_cast<unsigned char>(name[0]))) continue;
    const std::string base = std::string("Z:\\proc\\") + name;
    if (ReadUnixFile(base + "\\comm").rfind(name_starts, 0) != 0) continue;
    std::string line = ReadUnixFile(base + "\\cmdline");
    std::replace(line.begin(), line.end(), '\0', ' ');
    if ((line.find(argument) != std::string::npos) != holds) continue;
    if (EnvironEntry(ReadUnixFile(base + "\\environ"), "WINEPREFIX") == wanted) {
      pid = std::atol(name);
    }
  } while (!pid && FindNextFileA(dir, &found));
  FindClose(dir);
  return pid;
}

// CPU seconds of a Unix process from /proc (utime + stime, 100 ticks a
// second); 0 where it cannot be read.
double UnixCpuSeconds(long pid) {
  if (!pid) return 0;
  const std::string stat = ReadUnixFile("Z:\\proc\\" + std::to_string(pid) + "\\stat");
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  // Fields after the name: state is the 3rd, utime the 14th, stime the 15th.
  const char* p = stat.c_str() + close + 2;
  long values[15] = {};
  for (int field = 3; field <= 15 && *p; ++field) {
    values[field - 1] = std::strtol(p, const_cast<char**>(&p), 10);
    if (field == 3) {  // the state is a letter
      while (*p && *p != ' ') ++p;
    }
    while (*p == ' ') ++p;
  }
  return static_cast<double>(values[13] + values[14]) / 100.0;
}

// This process's, the child's and Wine's server's Unix processes. Files
// are opened by Wine's server, so /proc/self would be the server's own.
struct UnixProcesses {
  long own = FindUnixProcess("desktop_bench", "--windows", false);
  long child = FindUnixProcess("desktop_bench", "--windows", true);
  long server = FindUnixProcess("wineserver", "", true);
};

// CPU over a span: this process's as Windows tells it, and the three Unix
// processes' as /proc does (Wine's GetProcessTimes of another process is no
// help).
struct CpuMark {
  Clock::time_point at = Clock::now();
  double own = 0, unix_own = 0, child = 0, server = 0;
};
CpuMark MarkCpu(const UnixProcesses& p) {
  CpuMark m;
  m.own = CpuSeconds(GetCurrentProcess());
  m.unix_own = UnixCpuSeconds(p.own);
  m.child = UnixCpuSeconds(p.child);
  m.server = UnixCpuSeconds(p.server);
  return m;
}

// The keeper on the event source's timer, as a resident program runs it.
class Idle final : public vantrel::platform::EventHandler {
 public:
  explicit Idle(vantrel::DesktopKeeper& keeper) : keeper_(keeper) {}
  void OnListening() override { first_ = keeper_.Start(Clock::now()); }
  void OnEvent(const vantrel::platform::Event& event,
               vantrel::platform::EventListener& listener) override {
    wakeups_.fetch_add(1, std::memory_order_relaxed);
    if (event.kind == vantrel::platform::EventKind::kTimer) {
      timers_.fetch_add(1, std::memory_order_relaxed);
      Apply(keeper_.OnTimer(event.at), listener);
    } else if (event.kind == vantrel::platform::EventKind::kDisplaysMayHaveChanged) {
      Apply(keeper_.OnDisplaysMayHaveChanged(event.at), listener);
    }
  }
  // The first timer, set once the listener is there to set it on (on the
  // listening thread, which is the caller's).
  void Arm(vantrel::platform::EventListener& listener) {
    if (first_) Apply(*first_, listener);
    first_.reset();
  }
  long Wakeups() const { return wakeups_.load(std::memory_order_relaxed); }
  long Timers() const { return timers_.load(std::memory_order_relaxed); }

 private:
  static void Apply(const vantrel::DesktopKeeper::Step& step,
                    vantrel::platform::EventListener& listener) {
    if (step.timer) {
      listener.SetTimer(*step.timer);
    } else {
      listener.KillTimer();
    }
  }
  vantrel::DesktopKeeper& keeper_;
  std::optional<vantrel::DesktopKeeper::Step> first_;
  std::atomic<long> wakeups_{0};
  std::atomic<long> timers_{0};
};

void PrintCalls(const CountingSystem& counted, double per, bool timed) {
  for (std::size_t c = 0; c < CountingSystem::kCalls; ++c) {
    const auto call = static_cast<CountingSystem::Call>(c);
    if (counted.Calls(call) == 0) continue;
    if (timed) {
      std::printf("  %-14s %6.1f calls %9.1f us\n", CountingSystem::kNames[c].data(),
                  counted.Calls(call) / per, counted.Micros(call) / per);
    } else {
      std::printf("  %-14s %6.1f calls\n", CountingSystem::kNames[c].data(),
                  counted.Calls(call) / per);
    }
  }
}

// The Z-order the keeper puts back after its moves: each window right below
// the one above it, the first at the top.
void PlaceInOrder(const std::vector<HWND>& windows) {
  for (std::size_t k = 0; k < windows.size(); ++k) {
    SetWindowPos(windows[k], k == 0 ? HWND_TOP : windows[k - 1], 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// The windows among `windows` in the system's Z-order, top first.
std::vector<HWND> InZOrder(const std::vector<HWND>& windows) {
  std::vector<HWND> order;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (std::find(windows.begin(), windows.end(), w) != windows.end()) order.push_back(w);
  }
  return order;
}

// Microseconds a window of one call on each window, a median of five passes.
template <class Call>
double PerWindow(const std::vector<HWND>& windows, Call&& call) {
  std::vector<double> passes;
  for (int pass = 0; pass < 5; ++pass) {
    const Clock::time_point start = Clock::now();
    for (HWND w : windows) call(w);
    passes.push_back(Since(start) / static_cast<double>(windows.size()));
  }
  return Median(passes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--windows") == 0) {
    return Child(std::atoi(argv[2]), static_cast<DWORD>(std::atol(argv[3])));
  }
  const int rounds = EnvInt("VANTREL_BENCH_ROUNDS", 15);
  const int idle_s = EnvInt("VANTREL_BENCH_IDLE_S", 20);

  Spawned spawned;
  if (!Spawn(spawned)) {
    std::printf("the child's %d windows did not come (%zu found)\n", kWindows,
                spawned.windows.size());
    return 1;
  }
  const std::vector<RECT> areas = WorkAreas();
  if (areas.empty()) return 1;
  const std::vector<RECT> home = Grid(areas[0]);
  // Elsewhere: another display, as a display that left would have them.
  std::vector<RECT> away = areas.size() > 1 ? Grid(areas[1]) : home;
  if (areas.size() == 1) {
    for (RECT& r : away) OffsetRect(&r, 37, 23);
  }
  MoveAll(spawned.windows, home);
  Settle();

  vantrel::platform::System& user32 = vantrel::platform::User32System();
  vantrel::platform::StateStore& store = vantrel::platform::CurrentStore();
  vantrel::DesktopKeeper::Options options;
  options.own_process = GetCurrentProcessId();
  vantrel::DesktopKeeper keeper(user32, store, {}, options);
  keeper.RememberNow();
  const vantrel::DisplaySetMemory* set = keeper.Memory().Find(keeper.CurrentSet());
  const std::size_t kept = set ? set->windows.size() : 0;
  std::printf("windows: %d of a child process, %zu kept; %zu displays; %d rounds\n", kWindows, kept,
              areas.size(), rounds);
  if (kept != kWindows) return 1;

  // Under Wine a move with SWP_NOZORDER of another process's window still
  // restacks it, so the keeper puts the Z-order back after its moves; the
  // third side makes those calls bare too.
  const std::vector<HWND> stacked = InZOrder(spawned.windows);
  MoveAll(spawned.windows, away);
  const bool restacked = InZOrder(spawned.windows) != stacked;
  enum Side { kKeeper, kMoves, kMovesAndOrder, kSides };
  const auto run = [&](Side side) {
    switch (side) {
      case kKeeper: {
        const vantrel::RestoreReport report = keeper.Restore();
        return report.windows == kWindows && report.untouched == 0 && report.skipped == 0;
      }
      case kMoves:
        MoveAll(spawned.windows, home);
        return true;
      default:
        MoveAll(spawned.windows, home);
        PlaceInOrder(stacked);
        return true;
    }
  };
  // Every side warmed up: functions bound, the converters' first reads made.
  for (int side = 0; side < kSides; ++side) {
    MoveAll(spawned.windows, away);
    Settle();
    if (!run(static_cast<Side>(side))) std::printf("warm-up: the keeper did not move them all\n");
  }
  (void)vantrel::Displays::Take({.modes = false});

  std::vector<double> times[kSides];
  std::vector<double> snapshots, ratios, ordered_ratios;
  int wrong = 0;
  int short_restores = 0;
  for (int k = 0; k < rounds; ++k) {
    double t[kSides] = {};
    for (int n = 0; n < kSides; ++n) {
      // Which side goes first turns every round.
      const auto side = static_cast<Side>((n + k) % kSides);
      MoveAll(spawned.windows, away);
      Settle();
      const Clock::time_point start = Clock::now();
      if (!run(side)) ++short_restores;
      t[side] = Since(start);
      wrong += Misplaced(spawned.windows, home);
    }
    const Clock::time_point start = Clock::now();
    (void)vantrel::Displays::Take({.modes = false});
    const double snapshot = Since(start);
    for (int side = 0; side < kSides; ++side) times[side].push_back(t[side]);
    snapshots.push_back(snapshot);
    ratios.push_back(t[kKeeper] / (t[kMoves] + snapshot));
    ordered_ratios.push_back(t[kKeeper] / (t[kMovesAndOrder] + snapshot));
  }
  const double restore_us = Median(times[kKeeper]);
  const double moves_us = Median(times[kMoves]);
  const double ordered_us = Median(times[kMovesAndOrder]);
  const double snapshot_us = Median(snapshots);
  std::printf("windows not back in place after a side: %d; keeper restores not moving all %d: %d\n",
              wrong, kWindows, short_restores);
  std::printf("bare moves restack the windows (Wine): %s\n", restacked ? "yes" : "no");
  std::printf("Restore of %d windows: %.1f us (median of %d)\n", kWindows, restore_us, rounds);
  std::printf("bare SetWindowPos x %d: %.1f us\n", kWindows, moves_us);
  std::printf("bare SetWindowPos x %d and the Z-order x %d: %.1f us\n", kWindows, kWindows,
              ordered_us);
  std::printf("one snapshot without modes: %.1f us\n", snapshot_us);
  std::printf("restore / (bare moves and the Z-order + one snapshot): %.3f; paired %.3f\n",
              restore_us / (ordered_us + snapshot_us), Median(ordered_ratios));
  std::printf("restore / (bare + one snapshot), paired: %.3f\n", Median(ratios));

  // Where the keeper's time goes: one more restore through the counter, and
  // the user32 calls behind its reads, a window each.
  CountingSystem counted(user32);
  {
    vantrel::DesktopKeeper traced(counted, store, keeper.Memory(), options);
    MoveAll(spawned.windows, away);
    Settle();
    counted.Reset(true);
    const Clock::time_point start = Clock::now();
    const vantrel::RestoreReport report = traced.Restore();
    const double total = Since(start);
    std::printf("one Restore through the counter: %.1f us, %d moved; its seam calls:\n", total,
                report.windows);
    PrintCalls(counted, 1, true);
  }
  {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(spawned.windows[0], &wp);
    const std::vector<HWND>& ws = spawned.windows;
    std::printf(
        "user32 a window, us: GetWindowTextLengthW %.1f (sent to the child), "
        "GetWindowTextW %.1f, GetWindowPlacement %.1f, GetWindowRect %.1f, "
        "MonitorFromWindow + GetMonitorInfoW %.1f, SetWindowPlacement refused %.1f\n",
        PerWindow(ws, [](HWND w) { (void)GetWindowTextLengthW(w); }),
        PerWindow(ws,
                  [](HWND w) {
                    wchar_t text[256];
                    (void)GetWindowTextW(w, text, 256);
                  }),
        PerWindow(ws,
                  [](HWND w) {
                    WINDOWPLACEMENT p{};
                    p.length = sizeof p;
                    (void)GetWindowPlacement(w, &p);
                  }),
        PerWindow(ws,
                  [](HWND w) {
                    RECT r;
                    (void)GetWindowRect(w, &r);
                  }),
        PerWindow(ws,
                  [](HWND w) {
                    MONITORINFO info{};
                    info.cbSize = sizeof info;
                    (void)GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &info);
                  }),
        PerWindow(ws, [&](HWND w) { (void)SetWindowPlacement(w, &wp); }));
  }

  // Idle: the same span without a keeper, then with one on its timer.
  const UnixProcesses unix_processes;
  const auto share = [](const CpuMark& a, const CpuMark& b, double CpuMark::*of) {
    const double wall = std::chrono::duration<double>(b.at - a.at).count();
    return 100.0 * (b.*of - a.*of) / wall;
  };
  MoveAll(spawned.windows, home);
  const CpuMark quiet_start = MarkCpu(unix_processes);
  Sleep(static_cast<DWORD>(idle_s) * 1000 / 2);
  const CpuMark quiet_end = MarkCpu(unix_processes);

  counted.Reset(false);
  vantrel::DesktopKeeper idle_keeper(counted, store, keeper.Memory(), options);
  Idle handler(idle_keeper);
  vantrel::platform::Listening listening = vantrel::platform::WindowEvents().Listen(
      vantrel::platform::EventThread::kCallerThread, handler);
  if (!listening.listener) {
    std::printf("no listener: %s\n", listening.failure.c_str());
    return 1;
  }
  handler.Arm(*listening.listener);
  // The program's message loop: each return is a wake-up of the thread.
  long loop_wakeups = 0;
  const auto run_until = [&](Clock::time_point end) {
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
      ++loop_wakeups;
      Pump();
    }
  };
  // Past the start's read and the first hold-back.
  run_until(Clock::now() + 3s);
  const long handled_before = handler.Wakeups();
  const long timers_before = handler.Timers();
  counted.Reset(false);
  loop_wakeups = 0;
  const CpuMark busy_start = MarkCpu(unix_processes);
  run_until(busy_start.at + std::chrono::seconds(idle_s));
  const CpuMark busy_end = MarkCpu(unix_processes);
  const long handled = handler.Wakeups() - handled_before;
  const long timers = handler.Timers() - timers_before;
  const long polls = counted.Calls(CountingSystem::kTopWindows);
  listening.listener->Stop();
  const double wall = std::chrono::duration<double>(busy_end.at - busy_start.at).count();

  std::printf("idle keeper, %.1f s with %d windows and nothing changing:\n", wall, kWindows);
  // The handler also hears what the poll itself sends the listener's window
  // (its title is read like every window's), within the same wake-up.
  std::printf(
      "  wake-ups of the thread: %ld (%.2f a second); timers %ld, polls %ld (%.2f a second); "
      "messages handled %ld\n",
      loop_wakeups, loop_wakeups / wall, timers, polls, polls / wall, handled);
  std::printf("  seam calls a poll:\n");
  PrintCalls(counted, polls > 0 ? static_cast<double>(polls) : 1.0, false);
  const auto both = [&](double CpuMark::*of, long pid) {
    if (!pid) return std::string("unknown");
    char text[64];
    std::snprintf(text, sizeof text, "%.3f (%.3f)", share(busy_start, busy_end, of),
                  share(quiet_start, quiet_end, of));
    return std::string(text);
  };
  std::printf(
      "  CPU, %% of one core, with the keeper (without it): this process %s, by /proc %s; the "
      "child %s; Wine's server %s (Unix processes %ld, %ld, %ld)\n",
      both(&CpuMark::own, 1).c_str(), both(&CpuMark::unix_own, unix_processes.own).c_str(),
      both(&CpuMark::child, unix_processes.child).c_str(),
      both(&CpuMark::server, unix_processes.server).c_str(), unix_processes.own,
      unix_processes.child, unix_processes.server);
  std::printf("idle keeper: %.2f wake-ups a second, %.3f %% of one core\n", loop_wakeups / wall,
              share(busy_start, busy_end, &CpuMark::own));

  TerminateProcess(spawned.info.hProcess, 0);
  WaitForSingleObject(spawned.info.hProcess, 5000);
  std::printf("restore / (bare + one snapshot): %.3f\n", restore_us / (moves_us + snapshot_us));
  return 0;
}

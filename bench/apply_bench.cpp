// Setting a whole layout under Wine on the three-monitor layout: ApplyLayout
// against the same ChangeDisplaySettingsEx calls made bare, the desktop
// resets each apply causes, and the events a watcher tells of each.
//
// The layout switches between the one in force at the start and the same
// with the left and right displays at 800 x 600 (the left one's right edge
// kept against the primary): a three-display layout, two displays changed.
// Pairs of rounds alternate which side goes first; each round applies the
// smaller layout and then the start one. The bare side makes the calls
// ApplyLayout makes, built beforehand from the same plan: CDS_TEST for each
// change, each written with CDS_UPDATEREGISTRY | CDS_NORESET, then one
// ChangeDisplaySettingsEx(NULL) to put them in force. ApplyLayout also reads
// the layout and the offered modes, saves the layout from before to a file
// and reads the layout back. What it cannot avoid is timed in the same run: a
// read of the layout while it holds still (the layout to save), and a read
// right after a bare reset (the read-back); its own work, apply minus bare,
// is set against the two.
//
// After each apply the layout is left to hold still (a second and a half
// without an event), so that Wine's desktop process, which takes in the X
// server's change events one by one, has caught up before the next apply.
// Resets are counted as the WM_DISPLAYCHANGE messages a hidden top-level
// window of this process gets; events are those of a DisplayWatcher on its
// own thread.
//
//   VANTREL_BENCH_ROUNDS (default 6): pairs of rounds;
//   VANTREL_BENCH_NO_WATCHER=1: no watcher (its events per apply then 0).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "display_change.h"
#include "timing.h"
#include "vantrel/displays/apply.h"
#include "vantrel/displays/plan.h"
#include "vantrel/displays/watcher.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::wstring Wide(const std::string& text) { return {text.begin(), text.end()}; }

// One change as the calls write it.
struct BareCall {
  std::wstring adapter;
  DEVMODEW mode{};
};

// The calls of a plan that gives attached displays another mode or place,
// with the fields Vantrel's Windows calls fill (those above 0); nothing for
// a plan that detaches, turns or makes a primary, which this one does not.
std::optional<std::vector<BareCall>> BareCalls(const vantrel::LayoutPlan& plan) {
  std::vector<BareCall> calls;
  for (const vantrel::LayoutChange& c : plan.changes) {
    const vantrel::platform::SettingsChange settings = vantrel::SettingsFor(c.after, c.before);
    const vantrel::platform::ModeFacts& m = settings.mode;
    if (!settings.attached || m.orientation || c.set_primary) return std::nullopt;
    BareCall call{Wide(c.adapter), {}};
    DEVMODEW& dm = call.mode;
    dm.dmSize = sizeof dm;
    const auto set = [&](DWORD field, DWORD& to, std::int32_t value) {
      if (value <= 0) return;
      dm.dmFields |= field;
      to = static_cast<DWORD>(value);
    };
    set(DM_PELSWIDTH, dm.dmPelsWidth, m.width);
    set(DM_PELSHEIGHT, dm.dmPelsHeight, m.height);
    set(DM_BITSPERPEL, dm.dmBitsPerPel, m.bits_per_pixel);
    set(DM_DISPLAYFREQUENCY, dm.dmDisplayFrequency, m.frequency);
    if (settings.position) {
      dm.dmFields |= DM_POSITION;
      dm.dmPosition = {settings.position->x, settings.position->y};
    }
    calls.push_back(call);
  }
  return calls;
}

bool ApplyBare(std::vector<BareCall>& calls) {
  for (BareCall& c : calls) {
    if (ChangeDisplaySettingsExW(c.adapter.c_str(), &c.mode, nullptr, CDS_TEST, nullptr) !=
        DISP_CHANGE_SUCCESSFUL) {
      return false;
    }
  }
  for (BareCall& c : calls) {
    if (ChangeDisplaySettingsExW(c.adapter.c_str(), &c.mode, nullptr,
                                 CDS_UPDATEREGISTRY | CDS_NORESET,
                                 nullptr) != DISP_CHANGE_SUCCESSFUL) {
      return false;
    }
  }
  return ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
}

// What one apply did: its milliseconds, the resets and the watcher's events.
struct Outcome {
  double ms = 0;
  int resets = 0;
  int events = 0;
};

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The milliseconds of one read of the layout.
double TimedRead() {
  const Clock::time_point start = Clock::now();
  const vantrel::Layout read = vantrel::TakeLayout();
  const double ms = Since(start);
  if (read.displays.empty()) std::exit(1);
  return ms;
}

// A watcher's events, or none with VANTREL_BENCH_NO_WATCHER=1: a watcher's
// window in the process makes Wine's reset return in some 70 ms, against
// 0.6 to 1.3 s without one.
class Counter {
 public:
  Counter() {
    if (std::getenv("VANTREL_BENCH_NO_WATCHER")) return;
    watcher_.emplace([this](const vantrel::DisplayChanges&) {
      std::lock_guard lock(mutex_);
      ++events_;
    });
  }
  int Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  std::mutex mutex_;
  int events_ = 0;
  std::optional<vantrel::DisplayWatcher> watcher_;
};

template <class Call>
Outcome Measure(vantrel::probe::ResetCounter& resets, Counter& counter, Call call) {
  resets.Take();
  const int events = counter.Events();
  const Clock::time_point start = Clock::now();
  if (!call()) {
    std::fprintf(stderr, "apply_bench: an apply failed\n");
    std::exit(1);
  }
  Outcome o;
  o.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  // Until the layout holds still: no event for a second and a half.
  int seen = counter.Events();
  for (Clock::time_point still = Clock::now(); Clock::now() - still < 1500ms;) {
    o.resets += resets.Take();
    std::this_thread::sleep_for(20ms);
    if (counter.Events() != seen) {
      seen = counter.Events();
      still = Clock::now();
    }
  }
  o.resets += resets.Take();
  o.events = counter.Events() - events;
  return o;
}

void Report(const char* side, const std::vector<Outcome>& outcomes) {
  std::vector<double> ms;
  int resets_max = 0, events_max = 0, resets_min = 1 << 30, events_min = 1 << 30;
  for (const Outcome& o : outcomes) {
    ms.push_back(o.ms);
    resets_max = std::max(resets_max, o.resets);
    resets_min = std::min(resets_min, o.resets);
    events_max = std::max(events_max, o.events);
    events_min = std::min(events_min, o.events);
  }
  std::printf("  %-12s median %7.1f ms; resets per apply %d..%d; watcher events per apply %d..%d\n",
              side, vantrel::bench::Median(ms), resets_min, resets_max, events_min, events_max);
}

}  // namespace

int main() {
  const char* rounds_text = std::getenv("VANTREL_BENCH_ROUNDS");
  const int rounds = rounds_text ? std::max(1, std::atoi(rounds_text)) : 6;
  char folder[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return 1;
  const std::string state = std::string(folder) + "vantrel-apply-bench";
  _putenv_s("VANTREL_STATE_DIR", state.c_str());

  vantrel::probe::ResetCounter resets;
  if (!resets.ok()) return 1;

  const vantrel::Layout start = vantrel::TakeLayout();
  if (start.displays.size() != 3) {
    std::fprintf(stderr, "apply_bench: runs on the three-monitor layout\n");
    return 1;
  }
  vantrel::Layout small = start;
  for (const std::size_t k : {std::size_t{1}, std::size_t{2}}) {
    vantrel::LayoutDisplay& d = small.displays[k];
    if (d.position.x < 0) d.position.x += d.mode.width - 800;
    d.mode.width = 800;
    d.mode.height = 600;
  }
  const auto to_small = vantrel::Plan(small);
  if (!to_small || to_small->changes.size() != 2) {
    std::fprintf(stderr, "apply_bench: no plan to 800 x 600\n");
    return 1;
  }
  const vantrel::Layout small_in_force = to_small->after;
  std::optional<std::vector<BareCall>> bare_small = BareCalls(*to_small);
  // The way back, planned from the smaller layout as it will be in force.
  const auto offered = vantrel::TakeOfferedModes();
  const auto to_start = vantrel::Plan(small_in_force, start, offered);
  if (!to_start) return 1;
  std::optional<std::vector<BareCall>> bare_start = BareCalls(*to_start);
  if (!bare_small || !bare_start) return 1;

  Counter counter;
  std::vector<Outcome> vantrel_applies, bare_applies;
  std::vector<double> ratios, still_reads, reads_after_reset;
  // The bare calls, then a read of the layout right after their reset; the
  // read is not the bare side's.
  const auto bare_then_read = [&](std::vector<BareCall>& calls) {
    double read = 0;
    Outcome o = Measure(resets, counter, [&] {
      if (!ApplyBare(calls)) return false;
      read = TimedRead();
      return true;
    });
    o.ms -= read;
    reads_after_reset.push_back(read);
    still_reads.push_back(TimedRead());
    return o;
  };
  const auto vantrel_round = [&] {
    const Outcome a = Measure(resets, counter, [&] { return bool(vantrel::ApplyLayout(small)); });
    const Outcome b = Measure(resets, counter, [&] { return bool(vantrel::ApplyLayout(start)); });
    vantrel_applies.push_back(a);
    vantrel_applies.push_back(b);
    return a.ms + b.ms;
  };
  const auto bare_round = [&] {
    const Outcome a = bare_then_read(*bare_small);
    const Outcome b = bare_then_read(*bare_start);
    bare_applies.push_back(a);
    bare_applies.push_back(b);
    return a.ms + b.ms;
  };
  for (int k = 0; k < rounds; ++k) {
    double v = 0, b = 0;
    if (k % 2 == 0) {
      v = vantrel_round();
      b = bare_round();
    } else {
      b = bare_round();
      v = vantrel_round();
    }
    ratios.push_back(v / b);
  }
  if (vantrel::TakeLayout() != start) {
    std::fprintf(stderr, "apply_bench: the layout is not back as it was\n");
    return 1;
  }

  std::vector<double> vantrel_ms, bare_ms;
  for (const Outcome& o : vantrel_applies) vantrel_ms.push_back(o.ms);
  for (const Outcome& o : bare_applies) bare_ms.push_back(o.ms);
  std::printf("three displays, two changed, %d applies a side:\n", 2 * rounds);
  Report("ApplyLayout", vantrel_applies);
  Report("bare calls", bare_applies);
  std::printf("  ratio of medians %.3f; median of the rounds' ratios %.3f\n",
              vantrel::bench::Median(vantrel_ms) / vantrel::bench::Median(bare_ms),
              vantrel::bench::Median(ratios));
  const double still = vantrel::bench::Median(still_reads);
  const double after_reset = vantrel::bench::Median(reads_after_reset);
  std::printf("  %-12s median %7.1f ms\n  %-12s median %7.1f ms\n", "still read", still,
              "read after a reset", after_reset);
  std::printf("own work (apply - bare) / (still read + read after reset): %.3f\n",
              (vantrel::bench::Median(vantrel_ms) - vantrel::bench::Median(bare_ms)) /
                  (still + after_reset));
  return 0;
}

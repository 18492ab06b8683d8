// The display layer from any layout a platform could report: rectangles at
// the 32-bit extremes, names and paths of any bytes (repeated, empty, not
// UTF-8), missing DisplayConfig or shcore, modes in any order, sources
// driving several monitors. Takes a snapshot, looks points and rectangles
// up in it, diffs it against a changed one and prints it as vantrel-list
// would, then settles through messages, ticks and reads half-applied at
// random, checking what each promises; a crash or a sanitizer report is a
// finding too.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_require.h"
#include "listing.h"
#include "simulated_system.h"
#include "vantrel/displays/display_read.h"
#include "vantrel/displays/display_settle.h"
#include "vantrel/displays/displays.h"
#include "vantrel/displays/json.h"
#include "vantrel/displays/json_writer.h"
#include "vantrel/displays/watcher.h"

namespace {

using namespace vantrel;
using namespace vantrel::platform;

std::int32_t Coordinate(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.PickValueInArray({INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX});
    default:
      return in.ConsumeIntegralInRange(-5000, 5000);
  }
}

Rect AnyRect(FuzzedDataProvider& in) {
  return {Coordinate(in), Coordinate(in), Coordinate(in), Coordinate(in)};
}

std::string Text(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.PickValueInArray({"", "Display1", "Display1 (2)", "Panel"})
                          : in.ConsumeRandomLengthString(40);
}

SimulatedDisplays AnyLayout(FuzzedDataProvider& in) {
  const auto count = in.ConsumeIntegralInRange<std::size_t>(0, 5);
  std::vector<Rect> rects;
  for (std::size_t k = 0; k < count; ++k) rects.push_back(AnyRect(in));
  SimulatedDisplays layout = SimulatedDisplays::FromRects(rects);
  layout.has_display_config = in.ConsumeBool();
  layout.has_shcore = in.ConsumeBool();
  if (in.ConsumeBool()) layout.system_dpi = std::nullopt;
  for (SimulatedDisplay& d : layout.displays) {
    d.work_area = in.ConsumeBool() ? d.bounds : AnyRect(in);
    if (in.ConsumeBool()) d.device_name = Text(in);
    if (d.target && in.ConsumeBool()) {
      d.target->friendly_name = Text(in);
      d.target->device_path = Text(in);
      d.target->output_technology = in.ConsumeIntegral<std::uint32_t>();
      d.target->rotation = in.ConsumeIntegralInRange<std::uint32_t>(0, 6);
      d.target->refresh_numerator = in.ConsumeIntegral<std::uint32_t>();
      d.target->refresh_denominator = in.ConsumeIntegral<std::uint32_t>();
    }
    if (in.ConsumeBool()) d.target.reset();
    if (in.ConsumeBool()) d.device = MonitorDevice{Text(in), Text(in)};
    if (in.ConsumeBool()) d.dpi = in.ConsumeIntegral<std::uint32_t>();
    if (in.ConsumeBool()) d.physical_size = PhysicalSizeFacts{Coordinate(in), Coordinate(in)};
    const auto modes = in.ConsumeIntegralInRange(0, 6);
    for (int m = 0; m < modes; ++m) {
      d.modes.push_back({Coordinate(in), Coordinate(in), in.ConsumeIntegralInRange(0, 64),
                         in.ConsumeIntegralInRange(-1, 240),
                         std::optional<std::uint32_t>(in.ConsumeIntegralInRange(0u, 5u))});
    }
    if (in.ConsumeBool()) d.current_mode.reset();
    // A clone group: more paths of its source, or, with a source name of
    // any bytes, a path of another display's or of none.
    if (d.target && in.ConsumeBool()) {
      const auto clones = in.ConsumeIntegralInRange(1, 3);
      for (int c = 0; c < clones; ++c) {
        DisplayConfigTarget& t = d.clones.emplace_back(*d.target);
        if (in.ConsumeBool()) t.friendly_name = Text(in);
        t.device_path = Text(in);
        if (in.ConsumeProbability<float>() < 0.2f) t.source_name = Text(in);
      }
    }
  }
  return layout;
}

// The displays with no modes.
Displays WithoutModes(const Displays& displays) {
  std::vector<Display> bare(displays.begin(), displays.end());
  for (Display& d : bare) d.modes.clear();
  return Displays(std::move(bare));
}

// Settling through messages and ticks at any times over reads that the
// platform gives half-applied at random (DisplayConfig failing, a path, a
// monitor or a mode missing) or with a display moving, telling the modes or
// not. Each settling must stop at the first two whole reads that agree, or
// once its reads run out; read the modes, when told, right after the first
// whole read of each layout and only then (and at the end when no read was
// whole); hold the last whole read (the last read when none was whole), with
// the modes told, and say which it was; and tell its changes against the
// layout told before.
void Settle(FuzzedDataProvider& in, SimulatedSystem& service) {
  using std::chrono::milliseconds;
  const SimulatedDisplays layout = service.layout();
  const bool modes = in.ConsumeBool();
  const Displays all_modes = Displays::Take(service);
  DisplaysRead told = ReadDisplays(service, {.modes = modes});
  // A system that lacks some facts for good is not one halfway through a change.
  Require(!HalfApplied(ReadDisplays(service), told), "a layout is half-applied against itself");
  std::vector<DisplaysRead> reads;  // of the settling under way
  struct ModesRead {
    std::size_t after;  // reads before it
    Displays of;
  };
  std::vector<ModesRead> modes_reads;
  const SettleTiming timing{milliseconds(in.ConsumeIntegralInRange(0, 200)),
                            milliseconds(in.ConsumeIntegralInRange(0, 100)),
                            in.ConsumeIntegralInRange(1, 6)};
  DisplaySettler::ModesReader modes_reader;
  if (modes) {
    modes_reader = [&](const Displays& displays) {
      modes_reads.push_back({reads.size(), displays});
      return ReadModes(service, displays);
    };
  }
  DisplaySettler settler(
      told,
      [&] {
        SimulatedDisplays now = layout;
        now.has_display_config = now.has_display_config && in.ConsumeBool();
        for (SimulatedDisplay& d : now.displays) {
          if (in.ConsumeProbability<float>() < 0.2f) d.target.reset();
          if (in.ConsumeProbability<float>() < 0.2f) d.device.reset();
          if (in.ConsumeProbability<float>() < 0.2f) d.current_mode.reset();
        }
        if (!now.displays.empty() && in.ConsumeBool()) now.displays[0].bounds = AnyRect(in);
        service.layout() = now;
        reads.push_back(ReadDisplays(service, {.modes = false}));
        return reads.back();
      },
      timing, modes_reader);
  DisplaySettler::Clock::time_point now{};
  std::optional<DisplaySettler::Clock::time_point> due;
  for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
    DisplaySettler::Step s;
    if (!due || in.ConsumeIntegralInRange(0, 3) == 0) {
      now += milliseconds(in.ConsumeIntegralInRange(0, 300));
      reads.clear();
      modes_reads.clear();
      s = settler.OnMessage(now);
      Require(s.timer && !s.settled, "a message armed no timer");
    } else {
      now = *due;
      s = settler.OnTimer(now);
      Require(!reads.empty(), "a tick on time read nothing");
    }
    due.reset();
    if (s.timer) due = now + *s.timer;
    if (!s.settled) continue;

    Require(!s.timer, "a settled layout left the timer running");
    // The whole reads, and which of them agree with the whole read before.
    std::vector<std::size_t> whole;
    std::vector<bool> agrees(reads.size());
    for (std::size_t k = 0; k < reads.size(); ++k) {
      if (HalfApplied(reads[k], told)) continue;
      agrees[k] = !whole.empty() && reads[whole.back()].displays == reads[k].displays;
      whole.push_back(k);
    }
    const std::size_t last = reads.size() - 1;
    for (std::size_t k = 0; k < last; ++k) Require(!agrees[k], "read on past two that agreed");
    const bool agreed = agrees[last];
    Require(agreed || static_cast<int>(reads.size()) == timing.max_reads,
            "stopped before two whole reads agreed or the reads ran out");
    const std::size_t taken = agreed || whole.empty() ? last : whole.back();
    std::size_t modes_due = 0;
    for (std::size_t k = 0; k <= last; ++k) {
      const bool first = !agrees[k] && std::ranges::find(whole, k) != whole.end();
      const bool wanted = modes && (first || (k == last && whole.empty()));
      const auto m =
          std::ranges::find_if(modes_reads, [&](const ModesRead& r) { return r.after == k + 1; });
      Require(wanted == (m != modes_reads.end()) && (!wanted || m->of == reads[k].displays),
              "the modes were not read right after the first read of a layout, or for another");
      modes_due += wanted ? 1 : 0;
    }
    Require(modes_reads.size() == modes_due, "the modes were read twice for a layout");
    const Displays& held = settler.Current();
    Require(WithoutModes(held) == reads[taken].displays, "the layout kept is not the one taken");
    Require(held.size() == all_modes.size(), "displays came or went");
    for (std::size_t k = 0; k < held.size(); ++k) {
      Require(held[k].modes == (modes ? all_modes[k].modes : std::vector<DisplayMode>{}),
              "the layout kept lacks the modes told, or has modes not told");
    }
    const DisplayChanges expected = Difference(told.displays, held);
    Require(s.changes.has_value() == !expected.empty(), "an event for no change, or none");
    if (s.changes) {
      Require(s.changes->now == held && s.changes->added == expected.added &&
                  s.changes->removed == expected.removed,
              "the event is not told against the layout told before");
      Require(s.changes->settling == (agreed          ? Settling::kSettled
                                      : whole.empty() ? Settling::kHalfApplied
                                                      : Settling::kUnconfirmed),
              "the event says wrongly how far it settled");
    }
    told = reads[taken];
    told.displays = held;
    reads.clear();
    modes_reads.clear();
  }
}

bool ValidUtf8(const std::string& s) {
  for (std::size_t k = 0; k < s.size();) {
    const auto c = static_cast<unsigned char>(s[k]);
    std::size_t n = c < 0x80                 ? 1
                    : c >= 0xc2 && c <= 0xdf ? 2
                    : c >= 0xe0 && c <= 0xef ? 3
                    : c >= 0xf0 && c <= 0xf4 ? 4
                                             : 0;
    if (n == 0 || k + n > s.size()) return false;
    for (std::size_t j = 1; j < n; ++j) {
      if ((static_cast<unsigned char>(s[k + j]) & 0xc0) != 0x80) return false;
    }
    k += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  SimulatedSystem service(AnyLayout(in));
  const Displays before = Displays::Take(service);

  std::set<std::string> names;
  for (const Display& d : before) {
    Require(names.insert(d.name).second, "two displays share a name");
    for (const Clone& c : d.clones) {
      Require(names.insert(c.name).second, "a clone shares a name");
    }
    Require(std::ranges::is_sorted(d.clones, {}, &Clone::key), "clones out of key order");
    Require(!d.key.empty(), "a display has no key");
    Require(d.dpi != 0, "a display has no DPI");
    for (std::size_t m = 1; m < d.modes.size(); ++m) {
      Require(d.modes[m - 1] < d.modes[m], "modes repeat or are out of order");
    }
    Require(d.refresh_rate.denominator != 0, "a refresh rate over 0");
  }

  // A lookup with no fallback finds only a display that holds the point or
  // shares some of the rectangle; with one, it finds a display whenever
  // there is any.
  const vantrel::Point point{Coordinate(in), Coordinate(in)};
  const Display* at = before.AtPoint(point, Fallback::kNone);
  Require(!at || at->bounds.contains(point), "a point's display does not hold it");
  const vantrel::Rect rect = AnyRect(in);
  for (Fallback f : {Fallback::kNearest, Fallback::kPrimary}) {
    Require((before.AtPoint(point, f) != nullptr) == !before.empty() || f == Fallback::kPrimary,
            "a fallback found nothing among displays");
    Require(before.OfRect(rect, f) != nullptr || before.empty() ||
                (f == Fallback::kPrimary && !before.Primary()),
            "a rectangle's fallback found nothing");
  }

  // A snapshot against itself changes nothing; against a changed layout,
  // every display is accounted for once.
  Require(Difference(before, before).empty(), "a snapshot differs from itself");
  if (in.ConsumeBool() && !service.layout().displays.empty()) {
    service.layout().displays.erase(service.layout().displays.begin());
  }
  if (!service.layout().displays.empty()) {
    service.layout().displays.back().bounds = AnyRect(in);
  }
  const Displays after = Displays::Take(service);
  const DisplayChanges changes = Difference(before, after);
  Require(changes.now == after, "the change's snapshot is not the later one");
  Require(before.size() - changes.removed.size() == after.size() - changes.added.size(),
          "displays were lost or counted twice");
  for (const DisplayChange& c : changes.changed) {
    Require(Any(c.facts) && !(c.before == c.after), "a change that changed nothing");
  }

  // What vantrel-list prints is valid UTF-8 whatever the names held, and a
  // watch line is one line.
  Require(ValidUtf8(json::Document(after)), "the JSON is not UTF-8");
  const std::string line = json::ChangeLine(changes);
  Require(ValidUtf8(line) && line.find('\n') == line.size() - 1, "a watch line is not one line");
  (void)listing::Table(before);
  // Its reals (a scale, a refresh rate) are written as std::to_chars would.
  const auto real = std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
  char expected[32];
  const char* end = std::to_chars(expected, expected + sizeof expected, real).ptr;
  Require(json::Writer(false).Real(real).Take() == std::string_view(expected, end),
          "a real is not written as std::to_chars writes it");

  Settle(in, service);
  return 0;
}

// The keeper of the desktop's memory: it settles display changes as the
// watcher does, reads the windows only while the layout is settled, keeps a
// place once it has held for the hold-back, and puts a set's windows (and,
// where asked, its layout) back when a settled change brings that set.
#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "vantrel/displays/desktop.h"
#include "vantrel/displays/desktop_bounds.h"
#include "vantrel/displays/display_read.h"
#include "vantrel/displays/display_settle.h"
#include "vantrel/displays/window_place.h"

namespace vantrel {

namespace {

using platform::PlacementRecord;
using platform::TopWindowFacts;
namespace show = platform::show_command;
using std::chrono::milliseconds;

// Where a minimized window lies: what Wine tells as another program's
// minimized window's normal place.
constexpr std::int32_t kParked = -32000;

// A window maximized by a move and a maximize (another program's, under
// Wine) may be un-maximized by the system once the move's late answer
// comes, left at its maximized rectangle: it is looked at again this often,
// this many times, moved back to its normal place at one look and
// maximized at the next (a maximize right after a move does not hold).
constexpr milliseconds kLookAgain{200};
constexpr int kLooks = 6;

ShowState StateOf(const PlacementRecord& record) {
  if (platform::IsMinimized(record.show_command)) return ShowState::kMinimized;
  return record.show_command == show::kMaximized ? ShowState::kMaximized : ShowState::kNormal;
}

// Whose the window is: a handle whose process, thread or class changed is
// another window now, and never moved.
bool SameOwner(const KeptWindow& kept, const TopWindowFacts& now) {
  return kept.process_id == now.process_id && kept.thread_id == now.thread_id &&
         kept.class_name == now.class_name;
}

bool SamePlace(const KeptWindow& a, const KeptWindow& b) {
  return a.place == b.place && a.state == b.state && a.handle == b.handle &&
         a.process_id == b.process_id && a.thread_id == b.thread_id && a.class_name == b.class_name;
}

// Puts the windows `moved` back into the Z-order `before` (top first, read
// before they were moved), each right below the one that was above it.
void KeepOrder(platform::System& system, std::vector<std::uintptr_t> before,
               const std::vector<std::uintptr_t>& moved) {
  std::vector<std::uintptr_t> after;
  for (const std::uintptr_t h : system.Stacking()) {
    if (std::ranges::find(before, h) != before.end()) after.push_back(h);
  }
  std::erase_if(before,
                [&](std::uintptr_t h) { return std::ranges::find(after, h) == after.end(); });
  if (after == before) return;
  for (std::size_t k = 0; k < before.size(); ++k) {
    if (std::ranges::find(moved, before[k]) == moved.end()) continue;
    system.PlaceBelow(before[k], k == 0 ? 0 : before[k - 1]);
  }
}

}  // namespace

struct DesktopKeeper::State {
  std::optional<DisplaySettler> settler;
  Displays displays;  // as last settled
  bool settling = false;
  bool paused = false;
  Clock::time_point next_poll{};
  // A place seen and not yet kept, since when.
  struct Seen {
    KeptWindow window;
    Clock::time_point since;
  };
  std::map<std::uintptr_t, Seen> seen;
  std::map<std::uint32_t, std::string> images;  // by process, of the last read
  bool changed = false;
  // The layout the keeper itself put back, until the change it made settles.
  bool own_change = false;
  // The set whose layout was put back since it last came: never twice.
  std::string layout_put_back_for;
  // The system tells of other programs' windows: no reads by the clock.
  bool window_events = false;
  // While settling, when the settler wants the timer.
  std::optional<Clock::time_point> settle_due;
  // Windows maximized by a move and a maximize, to look at again.
  struct Maximized {
    KeptWindow window;
    Rect normal;
    std::string display;  // key
    int looks = 0;
    bool moved = false;  // at the last look: it is maximized at the next
  };
  std::vector<Maximized> look_again;
  Clock::time_point look_again_due = Clock::time_point::max();
};

DesktopKeeper::DesktopKeeper(platform::System& system, platform::StateStore& store,
                             DesktopMemory memory, Options options)
    : system_(system),
      store_(store),
      memory_(std::move(memory)),
      options_(std::move(options)),
      state_(std::make_unique<State>()) {}

DesktopKeeper::~DesktopKeeper() = default;

namespace {

// The set of `id`, made where it is new, and made the most recently used.
DisplaySetMemory& Touch(DesktopMemory& memory, const Displays& displays) {
  std::vector<std::string> keys = SetKeys(displays);
  const std::string id = SetId(keys);
  auto found = std::ranges::find(memory.sets, id, &DisplaySetMemory::id);
  if (found == memory.sets.end()) {
    memory.sets.push_back({id, std::move(keys), {}, std::nullopt, 0});
    found = memory.sets.end() - 1;
  }
  found->used = ++memory.clock;
  Bound(memory, id);
  return *std::ranges::find(memory.sets, id, &DisplaySetMemory::id);
}

DisplaySetMemory* Current(DesktopMemory& memory, const std::string& id) {
  const auto found = std::ranges::find(memory.sets, id, &DisplaySetMemory::id);
  return found == memory.sets.end() ? nullptr : &*found;
}

}  // namespace

DesktopKeeper::Step DesktopKeeper::Start(Clock::time_point now) {
  State& s = *state_;
  DisplaysRead first = ReadDisplays(system_, {.modes = false});
  s.displays = first.displays;
  s.settler.emplace(
      std::move(first), [this] { return ReadDisplays(system_, {.modes = false}); },
      SettleTiming{options_.quiet, options_.settle_interval, options_.max_reads});
  s.settling = false;
  s.paused = false;
  s.seen.clear();
  s.look_again.clear();
  s.look_again_due = Clock::time_point::max();
  DisplaySetMemory& set = Touch(memory_, s.displays);
  current_ = set.id;
  if (options_.layouts && !set.layout) set.layout = TakeLayout(system_);
  s.changed = true;
  Poll(now);
  s.next_poll = s.window_events ? Clock::time_point::max() : now + options_.poll;
  return Finish(NextDue(now), Step{});
}

DesktopKeeper::Step DesktopKeeper::OnDisplaysMayHaveChanged(Clock::time_point now) {
  State& s = *state_;
  if (!s.settler) return {};
  // What held for the whole hold-back is the user's; what was seen within
  // it may be where the system threw a window on its way.
  if (!s.settling) Commit(now);
  s.seen.clear();
  s.look_again.clear();
  s.look_again_due = Clock::time_point::max();
  s.settling = true;
  return Settling(now, s.settler->OnMessage(now).timer);
}

DesktopKeeper::Step DesktopKeeper::OnTimer(Clock::time_point now) {
  State& s = *state_;
  if (!s.settler) return {};
  if (s.settling) {
    const Clock::time_point started = Clock::now();
    const DisplaySettler::Step step = s.settler->OnTimer(now);
    if (!step.settled) return Settling(now, step.timer);
    s.settling = false;
    s.settle_due.reset();
    s.displays = s.settler->Current();
    // Read soon whatever the system tells: the windows moved with it.
    s.next_poll = now + std::min(options_.poll, options_.after_event);
    Step out = Arrived(now);
    if (out.restored) {
      out.restore_ms = std::chrono::duration_cast<milliseconds>(Clock::now() - started).count();
    }
    return out;
  }
  if (now >= s.look_again_due) LookAgain(now);
  if (!s.paused && now >= s.next_poll) {
    Poll(now);
    s.next_poll = s.window_events ? Clock::time_point::max() : now + options_.poll;
  }
  Commit(now);
  return Finish(NextDue(now), Step{});
}

DesktopKeeper::Step DesktopKeeper::OnWindowsMayHaveChanged(Clock::time_point now) {
  State& s = *state_;
  if (!s.settler) return {};
  if (s.settling) {
    // The settling's timer stands; what moved is read once it has settled.
    const auto due =
        s.settle_due
            ? std::optional(std::chrono::ceil<milliseconds>(std::max(*s.settle_due, now) - now))
            : std::nullopt;
    return Finish(due, Step{});
  }
  if (s.paused) return Finish(NextDue(now), Step{});
  s.window_events = true;
  s.next_poll = std::min(s.next_poll, now + options_.after_event);
  return Finish(NextDue(now), Step{});
}

DesktopKeeper::Step DesktopKeeper::Settling(Clock::time_point now,
                                            std::optional<milliseconds> timer) {
  state_->settle_due = timer ? std::optional(now + *timer) : std::nullopt;
  return Finish(timer, Step{});
}

std::optional<milliseconds> DesktopKeeper::NextDue(Clock::time_point now) const {
  const State& s = *state_;
  Clock::time_point due =
      std::min(s.paused ? Clock::time_point::max() : s.next_poll, s.look_again_due);
  for (const auto& [handle, seen] : s.seen) due = std::min(due, seen.since + options_.hold);
  if (due == Clock::time_point::max()) return std::nullopt;
  return std::max(milliseconds{0}, std::chrono::ceil<milliseconds>(due - now));
}

DesktopKeeper::Step DesktopKeeper::Arrived(Clock::time_point now) {
  State& s = *state_;
  const std::string was = current_;
  DisplaySetMemory& set = Touch(memory_, s.displays);
  current_ = set.id;
  s.changed = true;
  Step out;
  const bool own = std::exchange(s.own_change, false);
  if (current_ == was) {
    // The same displays arranged anew while settled: the layout is the
    // user's, unless it is the one this keeper put back.
    if (options_.layouts && !own) set.layout = TakeLayout(system_);
    return Finish(NextDue(now), std::move(out));
  }
  s.layout_put_back_for.clear();
  const bool known = !set.windows.empty() || set.layout.has_value();
  if (!known) {
    if (options_.layouts) set.layout = TakeLayout(system_);
    return Finish(NextDue(now), std::move(out));
  }
  std::optional<ChangeOutcome> layout;
  if (options_.layouts && set.layout && s.layout_put_back_for != current_) {
    const Layout wanted = *set.layout;
    // A layout that differs only where nothing follows from it (a detached
    // display's mode) plans nothing: nothing was put back.
    if (TakeLayout(system_) != wanted) {
      ChangeOutcome outcome = LayoutChanger(system_, store_).Apply(wanted);
      if (!outcome.ok() || !outcome.plan.empty()) {
        s.layout_put_back_for = current_;
        // Its change comes back as events; the layout read after it settles
        // is not the user's.
        s.own_change = outcome.end != ChangeEnd::kRefused && !outcome.plan.empty();
        layout = std::move(outcome);
        s.displays = ReadDisplays(system_, {.modes = false}).displays;
      }
    }
  }
  out.restored = Restore(now);
  out.restored->layout = std::move(layout);
  return Finish(NextDue(now), std::move(out));
}

DesktopKeeper::Step DesktopKeeper::Finish(std::optional<milliseconds> timer, Step out) {
  out.timer = timer;
  out.changed = std::exchange(state_->changed, false);
  return out;
}

void DesktopKeeper::Poll(Clock::time_point now) {
  State& s = *state_;
  if (s.paused || s.settling) return;
  // A set forgotten while it is the current one starts again.
  DisplaySetMemory* set = Current(memory_, current_);
  if (!set) set = &Touch(memory_, s.displays);
  const std::vector<TopWindowFacts> windows = system_.TopWindows();
  std::map<std::uint32_t, std::string> images;
  std::vector<std::uintptr_t> order;
  for (const TopWindowFacts& w : windows) {
    auto& image = images[w.process_id];
    if (image.empty()) {
      const auto known = s.images.find(w.process_id);
      image = known != s.images.end() ? known->second : system_.ImageName(w.process_id);
    }
    if (!Kept(w, image, options_.own_process, options_.exclude)) continue;
    // A normal window's place is its rectangle, which the list has: only a
    // minimized or maximized one's normal rectangle is read apart.
    PlacementRecord record{0, show::kNormal, {}, {}, w.rect};
    if (w.minimized || w.maximized) {
      const std::optional<PlacementRecord> read = system_.Placement(w.handle);
      if (!read) continue;
      record = *read;
    }
    order.push_back(w.handle);
    KeptWindow kept{w.handle,
                    w.process_id,
                    w.thread_id,
                    image,
                    w.class_name,
                    w.title,
                    PlaceNow(record, w.rect, s.displays),
                    StateOf(record)};
    const auto remembered = std::ranges::find(set->windows, w.handle, &KeptWindow::handle);
    const bool same_owner = remembered != set->windows.end() && SameOwner(*remembered, w);
    // A minimized window's normal place moves only when the system throws
    // it (and under Wine another program's reads as none): the one kept
    // stays.
    if (kept.state == ShowState::kMinimized && same_owner) {
      kept.place = remembered->place;
      kept.place.state = remembered->place.state;
    } else if (kept.state == ShowState::kMinimized && record.normal.left <= kParked &&
               record.normal.top <= kParked) {
      continue;  // first seen minimized, its normal place unknown: nothing to keep
    }
    if (same_owner && SamePlace(*remembered, kept)) {
      s.seen.erase(w.handle);
      continue;
    }
    const auto seen = s.seen.find(w.handle);
    if (seen == s.seen.end() || !SamePlace(seen->second.window, kept)) {
      s.seen[w.handle] = {std::move(kept), now};
    } else {
      seen->second.window.title = w.title;
    }
  }
  s.images = std::move(images);
  // Forgotten: windows gone, or whose handle is another program's now.
  const auto gone = [&](const KeptWindow& k) {
    const auto live = std::ranges::find(windows, k.handle, &TopWindowFacts::handle);
    return live == windows.end() || !SameOwner(k, *live);
  };
  for (DisplaySetMemory& each : memory_.sets) {
    if (std::erase_if(each.windows, gone) > 0) s.changed = true;
  }
  std::erase_if(s.seen, [&](const auto& entry) {
    return std::ranges::find(order, entry.first) == order.end();
  });
  Commit(now);
  // The memory in the Z-order of now, top first; the bounds drop the lowest.
  if (s.changed) {
    const auto rank = [&](const KeptWindow& k) {
      return std::ranges::find(order, k.handle) - order.begin();
    };
    std::ranges::stable_sort(set->windows, {}, rank);
    Bound(memory_, current_);
  }
}

void DesktopKeeper::Commit(Clock::time_point now) {
  State& s = *state_;
  DisplaySetMemory* set = Current(memory_, current_);
  if (!set) return;
  for (auto it = s.seen.begin(); it != s.seen.end();) {
    if (now - it->second.since < options_.hold) {
      ++it;
      continue;
    }
    KeptWindow& window = it->second.window;
    const auto remembered = std::ranges::find(set->windows, window.handle, &KeptWindow::handle);
    if (remembered == set->windows.end()) {
      set->windows.push_back(std::move(window));
    } else {
      *remembered = std::move(window);
    }
    s.changed = true;
    it = s.seen.erase(it);
  }
}

void DesktopKeeper::RememberNow() {
  State& s = *state_;
  if (!s.settler) {
    s.displays = ReadDisplays(system_, {.modes = false}).displays;
    current_ = Touch(memory_, s.displays).id;
  }
  const bool was_paused = std::exchange(s.paused, false);
  const bool was_settling = std::exchange(s.settling, false);
  const Clock::time_point now = Clock::now();
  Poll(now);
  Commit(now + options_.hold);
  s.paused = was_paused;
  s.settling = was_settling;
  s.changed = true;
}

RestoreReport DesktopKeeper::Restore(Clock::time_point now) {
  State& s = *state_;
  if (!s.settler) {
    s.displays = ReadDisplays(system_, {.modes = false}).displays;
    current_ = SetId(SetKeys(s.displays));
  }
  RestoreReport report;
  report.set = current_;
  DisplaySetMemory* set = Current(memory_, current_);
  if (!set || s.displays.empty()) return report;
  const std::vector<TopWindowFacts> before = system_.TopWindows();
  const std::uintptr_t foreground = system_.Foreground();
  std::vector<std::uintptr_t> moved;
  std::vector<std::uintptr_t> forget;
  // Programs whose windows refused SetWindowPlacement (all of another
  // program's under Wine): theirs are moved at once.
  std::vector<std::uint32_t> refused;
  for (const KeptWindow& kept : set->windows) {
    const auto live = std::ranges::find(before, kept.handle, &TopWindowFacts::handle);
    if (live == before.end() || !SameOwner(kept, *live)) {
      forget.push_back(kept.handle);
      ++report.skipped;
      continue;
    }
    const Placed placed = Fit(kept.place, s.displays);
    const ShowState state = live->minimized   ? ShowState::kMinimized
                            : live->maximized ? ShowState::kMaximized
                                              : ShowState::kNormal;
    // The list tells where a normal window is; a minimized or maximized
    // one's normal rectangle is read.
    std::optional<PlacementRecord> record;
    if (state != ShowState::kNormal || kept.state != ShowState::kNormal) {
      record = system_.Placement(kept.handle);
      if (!record) {
        ++report.skipped;
        continue;
      }
    }
    const bool there =
        state == kept.state &&
        (kept.state == ShowState::kNormal
             ? live->rect == placed.bounds
             : record->normal == placed.bounds &&
                   (kept.state == ShowState::kMinimized ||
                    s.displays.OfRect(live->rect, Fallback::kNearest) == placed.display));
    if (there) {
      ++report.untouched;
      continue;
    }
    PlacementRecord next = record.value_or(PlacementRecord{});
    next.flags = kept.state == ShowState::kMinimized && placed.state == WindowState::kMaximized
                     ? platform::kRestoreToMaximized
                     : 0;
    next.show_command = kept.state == ShowState::kMaximized   ? show::kMaximized
                        : kept.state == ShowState::kMinimized ? show::kMinimizedNoActivate
                                                              : show::kShowNoActivate;
    next.normal = placed.bounds;
    bool done = false;
    if (std::ranges::find(refused, kept.process_id) == refused.end()) {
      const platform::CallResult placement = system_.SetPlacement(kept.handle, next);
      done = bool(placement);
      if (!done && placement.error != platform::kInvalidWindowHandle) {
        refused.push_back(kept.process_id);
      }
    }
    if (!done && kept.state != ShowState::kMinimized) {
      // Where another program's placement cannot be set (Wine), it is
      // moved: shown normal first where it is not, then placed, then
      // maximized on the display it was moved to. A minimized window is
      // never shown on the way, so it is left.
      if (state != ShowState::kNormal) system_.Show(kept.handle, show::kShowNoActivate);
      done = bool(system_.MoveTo(kept.handle, placed.bounds));
      if (done && kept.state == ShowState::kMaximized) {
        done = bool(system_.Show(kept.handle, show::kMaximized));
        if (done) {
          std::erase_if(s.look_again,
                        [&](const State::Maximized& m) { return m.window.handle == kept.handle; });
          s.look_again.push_back({kept, placed.bounds, placed.display->key});
        }
      }
    }
    if (done) {
      ++report.windows;
      moved.push_back(kept.handle);
    } else {
      ++report.skipped;
    }
  }
  if (!forget.empty()) {
    for (DisplaySetMemory& each : memory_.sets) {
      std::erase_if(each.windows, [&](const KeptWindow& k) {
        return std::ranges::find(forget, k.handle) != forget.end();
      });
    }
    s.changed = true;
  }
  if (!s.look_again.empty()) s.look_again_due = now + kLookAgain;
  if (moved.empty()) return report;
  // Maximizing activates: the foreground and the Z-order go back as they
  // were.
  if (foreground && system_.Foreground() != foreground) system_.SetForeground(foreground);
  std::vector<std::uintptr_t> order;
  for (const TopWindowFacts& w : before) order.push_back(w.handle);
  KeepOrder(system_, std::move(order), moved);
  return report;
}

void DesktopKeeper::LookAgain(Clock::time_point now) {
  State& s = *state_;
  s.look_again_due = Clock::time_point::max();
  const std::vector<TopWindowFacts> windows = system_.TopWindows();
  const std::vector<std::uintptr_t> order = system_.Stacking();
  const std::uintptr_t foreground = system_.Foreground();
  std::vector<std::uintptr_t> maximized;
  for (auto it = s.look_again.begin(); it != s.look_again.end();) {
    const auto live = std::ranges::find(windows, it->window.handle, &TopWindowFacts::handle);
    if (live == windows.end() || !SameOwner(it->window, *live)) {
      it = s.look_again.erase(it);
      continue;
    }
    // Un-maximized on its display so soon: the system's doing.
    const Display* on = s.displays.OfRect(live->rect, Fallback::kNearest);
    const bool moved = std::exchange(it->moved, false);
    if (!live->maximized && !live->minimized && on && on->key == it->display) {
      if (live->rect != it->normal && !moved) {
        it->moved = bool(system_.MoveTo(it->window.handle, it->normal));
      } else if (system_.Show(it->window.handle, show::kMaximized)) {
        maximized.push_back(it->window.handle);
      }
    }
    // A window moved at the last look still gets its maximize.
    it = ++it->looks < kLooks || it->moved ? it + 1 : s.look_again.erase(it);
  }
  if (!s.look_again.empty()) s.look_again_due = now + kLookAgain;
  if (maximized.empty()) return;
  if (foreground && system_.Foreground() != foreground) system_.SetForeground(foreground);
  KeepOrder(system_, order, maximized);
}

void DesktopKeeper::Forget(bool all) {
  if (all) {
    memory_.sets.clear();
  } else {
    std::erase_if(memory_.sets, [&](const DisplaySetMemory& set) { return set.id == current_; });
  }
  state_->seen.clear();
  state_->changed = true;
}

void DesktopKeeper::Pause() {
  state_->paused = true;
  state_->seen.clear();
  state_->look_again.clear();
  state_->look_again_due = Clock::time_point::max();
}

}  // namespace vantrel

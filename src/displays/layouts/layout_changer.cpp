// The owner of every change of the displays: under the lock of the process
// and the desktop it plans, saves the layout in force, tests, writes, puts
// the changes in force with one reset, reads them back and undoes them the
// same way where the system gave something else; the wait for a
// confirmation runs without the lock.
#include <algorithm>
#include <optional>
#include <utility>

#include "vantrel/displays/apply.h"
#include "vantrel/displays/change_lock.h"
#include "vantrel/displays/display_read.h"
#include "vantrel/displays/plan.h"
#include "vantrel/platform/state_store.h"
#include "vantrel/platform/system.h"

namespace vantrel {

namespace {

namespace flags = platform::change_flags;
namespace answer = platform::change_result;

ModesReader OnDemand(platform::System& system, std::vector<OfferedModes>& read) {
  // Most changes keep a display's mode, and listing an adapter's modes takes
  // milliseconds (some 4 a display under Wine): read only those asked for.
  return [&system, &read](std::string_view adapter) -> const OfferedModes* {
    if (const OfferedModes* known = ListedFor(read, adapter)) return known;
    read.push_back(ReadOffered(system, adapter));
    return &read.back();
  };
}

Error ChangeFailed(const std::string& what, std::int32_t result) {
  Error e{ErrorCode::kSystem, 0, what + " gave " + platform::ChangeResultName(result)};
  e.change_result = result;
  return e;
}

std::string YesNo(bool b) { return b ? "true" : "false"; }

// Each field of each display of `asked` that `got` has otherwise. A mode
// field is compared where both say it: 0 asks for none, and reads none.
std::vector<FieldDifference> Differences(const Layout& asked, const Layout& got) {
  std::vector<FieldDifference> differences;
  for (const LayoutDisplay& a : asked.displays) {
    const auto add = [&](const char* field, std::string wanted, std::string found) {
      differences.push_back({a.adapter, a.key, field, std::move(wanted), std::move(found)});
    };
    const auto g = std::ranges::find_if(
        got.displays, [&](const LayoutDisplay& d) { return SameDeviceName(d.adapter, a.adapter); });
    if (g == got.displays.end()) {
      add("display", StateText(a), "none");
      continue;
    }
    if (a.attached != g->attached) {
      add("attached", YesNo(a.attached), YesNo(g->attached));
      continue;
    }
    if (!a.attached) continue;
    if (a.position != g->position) add("position", PointText(a.position), PointText(g->position));
    const auto differs = [](std::int32_t x, std::int32_t y) { return x != 0 && y != 0 && x != y; };
    if (a.mode.width != g->mode.width || a.mode.height != g->mode.height ||
        differs(a.mode.bits_per_pixel, g->mode.bits_per_pixel) ||
        differs(a.mode.frequency, g->mode.frequency)) {
      add("mode", ModeText(a.mode), ModeText(g->mode));
    }
    if (a.orientation != g->orientation) {
      add("orientation", std::to_string(a.orientation), std::to_string(g->orientation));
    }
    if (a.primary != g->primary) add("primary", YesNo(a.primary), YesNo(g->primary));
  }
  return differences;
}

std::string Joined(const std::vector<FieldDifference>& differences) {
  std::string all;
  for (const FieldDifference& d : differences) {
    all += (all.empty() ? "" : "; ") + d.adapter + " (" + d.key + "): " + d.field + " asked " +
           d.wanted + ", got " + d.got;
  }
  return all;
}

// What carrying out a plan, or putting a layout back, came to.
struct Carried {
  std::optional<Error> failed;  // a write or the reset
  std::vector<FieldDifference> differences;
  Layout got;  // what was read back
  bool ok() const { return !failed && differences.empty(); }
};

class Carrier {
 public:
  explicit Carrier(platform::System& system) : system_(system) {}

  // Tests every change; the first the system refuses, nothing written.
  std::optional<Refusal> Test(const LayoutPlan& plan) {
    for (const LayoutChange& c : plan.changes) {
      const std::int32_t r =
          system_.ChangeSettings(c.adapter, SettingsFor(c.after, c.before), flags::kTest);
      if (r != answer::kSuccessful) {
        return Refusal{RefusalReason::kSystemTest, c.adapter, c.key, r,
                       NameOf(c.before) + ": the system refuses " + StateText(c.after) + " (" +
                           platform::ChangeResultName(r) + "); nothing was changed"};
      }
    }
    return std::nullopt;
  }

  // Writes every change, puts them in force with one reset, reads back.
  Carried Carry(const LayoutPlan& plan) {
    Carried done;
    for (const LayoutChange& c : plan.changes) {
      const std::uint32_t how =
          flags::kUpdateRegistry | flags::kNoReset | (c.set_primary ? flags::kSetPrimary : 0u);
      if (const std::int32_t r =
              system_.ChangeSettings(c.adapter, SettingsFor(c.after, c.before), how);
          r != answer::kSuccessful) {
        done.failed = ChangeFailed(NameOf(c.before) + ": writing " + StateText(c.after), r);
        break;
      }
    }
    Reset(done, "putting the layout in force");
    done.got = TakeLayout(system_);
    if (!done.failed) done.differences = Differences(plan.after, done.got);
    return done;
  }

  // Writes `before` back over what is in force (`now`), every attached
  // display and every one to detach again, puts it in force with one reset
  // and reads back.
  Carried PutBack(const Layout& before, const Layout& now) {
    Carried done;
    std::vector<const LayoutDisplay*> order;  // the primary first, as Windows wants it
    for (const LayoutDisplay& d : before.displays) {
      order.insert(d.attached && d.primary ? order.begin() : order.end(), &d);
    }
    for (const LayoutDisplay* d : order) {
      const auto found = std::ranges::find_if(now.displays, [&](const LayoutDisplay& n) {
        return SameDeviceName(n.adapter, d->adapter);
      });
      const LayoutDisplay* n = found == now.displays.end() ? nullptr : &*found;
      const bool attached_now = n && n->attached;
      if (!d->attached && !attached_now) continue;
      std::uint32_t how = flags::kUpdateRegistry | flags::kNoReset;
      if (d->attached && d->primary && !(attached_now && n->primary)) how |= flags::kSetPrimary;
      if (const std::int32_t r =
              system_.ChangeSettings(d->adapter, SettingsFor(*d, n ? *n : LayoutDisplay{}), how);
          r != answer::kSuccessful && !done.failed) {
        done.failed = ChangeFailed(NameOf(*d) + ": writing it back", r);
      }
    }
    Reset(done, "putting it in force");
    done.got = TakeLayout(system_);
    done.differences = Differences(before, done.got);
    return done;
  }

 private:
  void Reset(Carried& done, const char* what) {
    if (done.failed) return;
    if (const std::int32_t r = system_.ApplySettings(); r != answer::kSuccessful) {
      done.failed = ChangeFailed(what, r);
    }
  }

  platform::System& system_;
};

// The plan the system's own test takes, nothing written: planned with every
// mode taken as offered and tested. Only where either refuses are the modes
// listed (of the displays whose mode changes: milliseconds each), to name a
// mode not offered or to give it the way the display offers it, and the plan
// tested again. The outcome has the plan, and where none is taken, why.
bool TestedPlan(platform::System& system, const Layout& now, const Layout& wanted,
                ChangeOutcome& out) {
  Result<LayoutPlan, Refusal> plan = PlanOver(now, wanted, {});
  std::optional<Refusal> refused;
  // A refusal of the plan may come of a mode as written that the display
  // offers turned (a place out of range): the modes decide that too.
  if (!plan || (!plan->empty() && (refused = Carrier(system).Test(*plan)))) {
    std::vector<OfferedModes> modes;
    plan = PlanOver(now, wanted, OnDemand(system, modes));
    refused.reset();
    if (plan && !plan->empty()) refused = Carrier(system).Test(*plan);
  }
  if (!plan) {
    out.end = ChangeEnd::kRefused;
    out.refusal = plan.error();
    return false;
  }
  out.plan = std::move(plan).value();
  if (!refused) return true;
  out.end = ChangeEnd::kRefused;
  out.refusal = std::move(refused);
  return false;
}

// The lock of every change, or the outcome ended `end` with why it could
// not be taken.
std::optional<ChangeLock> Locked(platform::StateStore& store, ChangeOutcome& out, ChangeEnd end) {
  Result<ChangeLock> lock = ChangeLock::Take(store);
  if (lock) return std::move(lock).value();
  out.end = end;
  (end == ChangeEnd::kNotBack ? out.back_error : out.error) = lock.error();
  return std::nullopt;
}

// Carries a tested plan out: written, one reset, read back, and rolled back
// where anything differs.
void CarryOut(platform::System& system, const LayoutPlan& plan, ChangeOutcome& out) {
  Carrier carrier(system);
  Carried done = carrier.Carry(plan);
  if (done.ok()) {
    out.end = ChangeEnd::kApplied;
    return;
  }
  out.error = std::move(done.failed);
  out.differences = std::move(done.differences);
  Carried back = carrier.PutBack(plan.before, done.got);
  out.end = back.ok() ? ChangeEnd::kRolledBack : ChangeEnd::kNotBack;
  out.back_error = std::move(back.failed);
  out.not_back = std::move(back.differences);
}

// Undoes a change that was not confirmed: the layout from before planned
// against the one in force, carried out, and read back.
void Undo(platform::System& system, ChangeOutcome& out) {
  std::vector<OfferedModes> modes;
  const Layout now = TakeLayout(system);
  const Result<LayoutPlan, Refusal> back = PlanOver(now, out.plan.before, OnDemand(system, modes));
  if (!back) {
    out.end = ChangeEnd::kNotBack;
    out.back_error = AsError(back.error());
    return;
  }
  if (back->empty()) {  // already back: no reset to make
    out.end = ChangeEnd::kNotKept;
    return;
  }
  Carrier carrier(system);
  Carried done = carrier.Carry(*back);
  out.end = done.ok() ? ChangeEnd::kNotKept : ChangeEnd::kNotBack;
  out.back_error = std::move(done.failed);
  out.not_back = std::move(done.differences);
}

}  // namespace

std::string Message(const ChangeOutcome& o) {
  const auto what = [&] {
    return o.error ? o.error->message + (o.differences.empty() ? "" : "; " + Joined(o.differences))
                   : Joined(o.differences);
  };
  const auto not_back = [&] {
    std::string text = o.back_error ? o.back_error->message : "";
    if (!o.not_back.empty()) text += (text.empty() ? "" : "; ") + Joined(o.not_back);
    return "the layout from before is not back: " + text;
  };
  switch (o.end) {
    case ChangeEnd::kApplied:
      return {};
    case ChangeEnd::kRefused:
      return o.refusal ? o.refusal->message : "refused";
    case ChangeEnd::kNotSaved:
      return "nothing was changed: " + (o.error ? o.error->message : std::string());
    case ChangeEnd::kRolledBack:
      return what() + "; the layout from before is back";
    case ChangeEnd::kNotKept:
      return "not kept (" + o.unconfirmed_why + "): the layout from before is back";
    case ChangeEnd::kNotBack:
      if (o.unconfirmed) return "not kept (" + o.unconfirmed_why + "), and " + not_back();
      return what() + "; " + not_back();
  }
  return {};
}

LayoutChanger::LayoutChanger() noexcept
    : LayoutChanger(platform::CurrentSystem(), platform::CurrentStore()) {}

LayoutChanger::LayoutChanger(platform::System& system, platform::StateStore& store) noexcept
    : system_(system), store_(store) {}

Layout LayoutChanger::Now() const { return TakeLayout(system_); }

OfferedModes LayoutChanger::OfferedBy(std::string_view adapter) const {
  return ReadOffered(system_, adapter);
}

Result<LayoutPlan, Refusal> LayoutChanger::Plan(const Layout& wanted) const {
  std::vector<OfferedModes> modes;
  return PlanOver(Now(), wanted, OnDemand(system_, modes));
}

ChangeOutcome LayoutChanger::Apply(const Layout& wanted, const Confirm& confirm) {
  ChangeOutcome out;
  {
    const std::optional<ChangeLock> lock = Locked(store_, out, ChangeEnd::kNotSaved);
    if (!lock) return out;
    const Layout now = Now();
    // Tested before the layout in force is saved: a refusal changes nothing,
    // the layout saved by the last change that took included.
    if (!TestedPlan(system_, now, wanted, out) || out.plan.empty()) return out;
    if (Result<void> saved = store_.Write(kLayoutBeforeFile, ToJson(now)); !saved) {
      out.end = ChangeEnd::kNotSaved;
      out.error = saved.error();
      out.error->message = "the layout in force cannot be saved: " + out.error->message;
      return out;
    }
    CarryOut(system_, out.plan, out);
    if (!out.ok() || !confirm) return out;
  }
  Confirmation answer = confirm();
  if (answer.keep) return out;
  out.unconfirmed = true;
  out.unconfirmed_why = std::move(answer.why);
  if (const std::optional<ChangeLock> lock = Locked(store_, out, ChangeEnd::kNotBack)) {
    Undo(system_, out);
  }
  return out;
}

Result<Layout> LayoutChanger::Saved() const {
  Result<std::optional<std::string>> text = store_.Read(kLayoutBeforeFile);
  if (!text) return text.error();
  if (!*text) {
    const Result<std::string> where = store_.Where(kLayoutBeforeFile);
    return Error{
        ErrorCode::kSystem, 0,
        "no layout from before is saved at " + (where ? *where : std::string(kLayoutBeforeFile))};
  }
  Result<Layout> layout = LayoutFromJson(**text);
  if (!layout) {
    const Result<std::string> where = store_.Where(kLayoutBeforeFile);
    return Error{layout.error().code, 0,
                 (where ? *where : std::string(kLayoutBeforeFile)) + ": " + layout.error().message};
  }
  return layout;
}

Result<std::string> LayoutChanger::SavedPath() const { return store_.Where(kLayoutBeforeFile); }

Result<ChangeOutcome> LayoutChanger::Revert() {
  ChangeOutcome out;
  // Read under the lock: another process's change may be replacing it.
  const std::optional<ChangeLock> lock = Locked(store_, out, ChangeEnd::kNotSaved);
  if (!lock) return out;
  const Result<Layout> saved = Saved();
  if (!saved) return saved.error();
  if (TestedPlan(system_, Now(), *saved, out) && !out.plan.empty()) {
    CarryOut(system_, out.plan, out);
  }
  return out;
}

ChangeOutcome ApplyLayout(const Layout& wanted) { return LayoutChanger().Apply(wanted); }
Result<ChangeOutcome> Revert() { return LayoutChanger().Revert(); }
Result<Layout> LoadLayoutBefore() { return LayoutChanger().Saved(); }

}  // namespace vantrel

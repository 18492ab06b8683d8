// Planning a layout: the changes that turn the layout in force into a
// wanted one, refused before anything changes where they cannot be made, and
// each described in one line. Pure; the owner (layout_changer.cpp) carries
// plans out.
#include "vantrel/displays/plan.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "vantrel/displays/apply.h"
#include "vantrel/displays/display_read.h"
#include "vantrel/platform/system.h"

namespace vantrel {

std::string ModeText(const DisplayMode& m) {
  std::string text = std::to_string(m.width) + "x" + std::to_string(m.height);
  if (m.bits_per_pixel > 0) text += " " + std::to_string(m.bits_per_pixel) + " bits";
  if (m.frequency > 0) text += " " + std::to_string(m.frequency) + " Hz";
  return text;
}

std::string PointText(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

std::string StateText(const LayoutDisplay& d) {
  if (!d.attached) return "detached";
  std::string text = "attached at " + PointText(d.position) + ", " + ModeText(d.mode);
  if (d.orientation != 0) text += ", turned " + std::to_string(d.orientation);
  if (d.primary) text += ", primary";
  return text;
}

platform::SettingsChange SettingsFor(const LayoutDisplay& to, const LayoutDisplay& from) {
  if (!to.attached) return {false, to.position, {}};
  const DisplayMode& m = to.mode;
  platform::ModeFacts mode{m.width, m.height, m.bits_per_pixel, m.frequency, std::nullopt};
  if (to.orientation != from.orientation) {
    mode.orientation = static_cast<std::uint32_t>(to.orientation / 90);
  }
  return {true, to.position, mode};
}

namespace {

// 90 and 270 degrees: width and height trade places.
bool Quarter(std::int32_t degrees) { return degrees % 180 != 0; }
bool RightAngle(std::int32_t degrees) {
  return degrees == 0 || degrees == 90 || degrees == 180 || degrees == 270;
}

DisplayMode Swapped(const DisplayMode& m) {
  return {m.height, m.width, m.bits_per_pixel, m.frequency};
}

Refusal Refused(RefusalReason reason, const LayoutDisplay& d, const std::string& why) {
  return {reason, d.adapter, d.key, 0, NameOf(d) + ": " + why};
}

// Whether the display, as it is (`now`), offers `mode` shown turned
// `degrees`: a listed mode (listed unturned), turned the same way, or the
// mode it has. A field at 0 asks for none in particular.
bool Offers(const LayoutDisplay& now, const OfferedModes* listed, const DisplayMode& mode,
            std::int32_t degrees) {
  const auto same = [&](const DisplayMode& o, bool swap) {
    const DisplayMode shown = swap ? Swapped(o) : o;
    return shown.width == mode.width && shown.height == mode.height &&
           (mode.bits_per_pixel == 0 || shown.bits_per_pixel == mode.bits_per_pixel) &&
           (mode.frequency == 0 || shown.frequency == mode.frequency);
  };
  if (mode.width <= 0 || mode.height <= 0) return false;
  if (listed && std::ranges::any_of(listed->modes, [&](const DisplayMode& o) {
        return same(o, Quarter(degrees));
      })) {
    return true;
  }
  return now.mode.width > 0 && now.mode.height > 0 &&
         same(now.mode, Quarter(degrees - now.orientation));
}

// The wanted mode with its zero fields filled from what the display has.
DisplayMode Filled(const DisplayMode& wanted, const DisplayMode& has) {
  const auto pick = [](std::int32_t a, std::int32_t b) { return a > 0 ? a : std::max(b, 0); };
  return {pick(wanted.width, has.width), pick(wanted.height, has.height),
          pick(wanted.bits_per_pixel, has.bits_per_pixel), pick(wanted.frequency, has.frequency)};
}

// The display of `now` a wanted one names: its key, else its adapter.
std::optional<std::size_t> Find(const Layout& now, const LayoutDisplay& wanted) {
  const auto& all = now.displays;
  auto found = std::ranges::find_if(
      all, [&](const LayoutDisplay& d) { return !wanted.key.empty() && d.key == wanted.key; });
  if (found == all.end()) {
    found = std::ranges::find_if(all, [&](const LayoutDisplay& d) {
      return !wanted.adapter.empty() && SameDeviceName(d.adapter, wanted.adapter);
    });
  }
  if (found == all.end()) return std::nullopt;
  return static_cast<std::size_t>(found - all.begin());
}

// Whether anything that is written differs: a detached display is only
// that, whatever it keeps.
bool SameSettings(const LayoutDisplay& a, const LayoutDisplay& b) {
  if (a.attached != b.attached) return false;
  if (!a.attached) return true;
  return a.position == b.position && a.mode == b.mode && a.orientation == b.orientation &&
         a.primary == b.primary;
}

// The plan, with the modes of an adapter looked up as it needs them; with
// `trusted`, every mode taken as offered.
template <class Listed>
Result<LayoutPlan, Refusal> PlanWith(const Layout& now, const Layout& wanted, Listed&& listed_for,
                                     bool trusted = false);

}  // namespace

Error AsError(const Refusal& refusal) {
  Error e{ErrorCode::kRefused, 0, refusal.message};
  e.change_result = refusal.change_result;
  return e;
}

OfferedModes ReadOffered(platform::System& system, std::string_view adapter) {
  OfferedModes o{std::string(adapter), {}};
  for (const platform::ModeFacts& m : system.Modes(adapter)) {
    // Windows lists a turned display's modes turned as it is: unturned here.
    const DisplayMode mode{m.width, m.height, m.bits_per_pixel, m.frequency};
    o.modes.push_back(m.orientation && *m.orientation % 2 == 1 ? Swapped(mode) : mode);
  }
  return o;
}

const OfferedModes* ListedFor(const std::vector<OfferedModes>& offered, std::string_view adapter) {
  const auto found = std::ranges::find_if(
      offered, [&](const OfferedModes& o) { return SameDeviceName(o.adapter, adapter); });
  return found == offered.end() ? nullptr : &*found;
}

std::vector<OfferedModes> TakeOfferedModes() { return TakeOfferedModes(platform::CurrentSystem()); }

std::vector<OfferedModes> TakeOfferedModes(platform::System& system) {
  std::vector<std::string> adapters;
  for (const platform::AdapterFacts& a : system.Adapters()) {
    if (a.monitor) adapters.push_back(a.device_name);
  }
  std::vector<OfferedModes> offered;
  for (std::string& adapter : adapters) offered.push_back(ReadOffered(system, adapter));
  return offered;
}

Result<LayoutPlan, Refusal> Plan(const Layout& now, const Layout& wanted,
                                 const std::vector<OfferedModes>& offered) {
  return PlanWith(now, wanted,
                  [&](std::string_view adapter) { return ListedFor(offered, adapter); });
}

Result<LayoutPlan, Refusal> PlanOver(const Layout& now, const Layout& wanted,
                                     const ModesReader& modes_of) {
  return PlanWith(now, wanted, modes_of, !modes_of);
}

namespace {

template <class Listed>
Result<LayoutPlan, Refusal> PlanWith(const Layout& now, const Layout& wanted, Listed&& listed_for,
                                     bool trusted) {
  LayoutPlan plan{now, now, {}};
  std::vector<LayoutDisplay>& after = plan.after.displays;
  std::vector<bool> named(now.displays.size(), false);
  std::optional<std::size_t> primary;
  for (const LayoutDisplay& w : wanted.displays) {
    const std::optional<std::size_t> i = Find(now, w);
    if (!i) return Refused(RefusalReason::kNotConnected, w, "is not connected");
    const LayoutDisplay& n = now.displays[*i];
    if (named[*i]) return Refused(RefusalReason::kNamedTwice, n, "is named twice");
    named[*i] = true;
    if (!RightAngle(w.orientation)) {
      return Refused(RefusalReason::kNoRightAngle, n,
                     "orientation " + std::to_string(w.orientation) + " is no right angle");
    }
    if (w.primary && !w.attached)
      return Refused(RefusalReason::kDetachedPrimary, n,
                     "a detached display cannot be the primary");
    if (w.primary) {
      if (primary) return Refused(RefusalReason::kSecondPrimary, n, "is a second primary");
      primary = *i;
    }
    LayoutDisplay& a = after[*i];
    a.attached = w.attached;
    if (!w.attached) continue;  // it keeps what the system keeps for it
    a.position = w.position;
    a.orientation = w.orientation;
    a.mode = Filled(w.mode, n.mode);
    if (n.attached && a.mode == n.mode && a.orientation == n.orientation) continue;
    // No size is no mode, whatever the system would fill in for it.
    if (a.mode.width <= 0 || a.mode.height <= 0) {
      return Refused(RefusalReason::kModeNotOffered, n, ModeText(a.mode) + " is no mode it offers");
    }
    if (trusted) continue;
    const OfferedModes* listed = listed_for(n.adapter);
    if (Offers(n, listed, a.mode, a.orientation)) continue;
    // Given the way the display offers it unturned (an edited orientation).
    if (!Offers(n, listed, Swapped(a.mode), a.orientation)) {
      return Refused(RefusalReason::kModeNotOffered, n, ModeText(a.mode) + " is no mode it offers");
    }
    a.mode = Swapped(a.mode);
  }

  if (std::ranges::none_of(after, &LayoutDisplay::attached)) {
    std::string names;
    for (const LayoutDisplay& d : now.displays) names += (names.empty() ? "" : ", ") + NameOf(d);
    return Refusal{RefusalReason::kNothingAttached,
                   {},
                   {},
                   0,
                   "no display would be attached: " + (names.empty() ? "none listed" : names)};
  }
  if (!primary) {
    const auto was = std::ranges::find_if(
        now.displays, [](const LayoutDisplay& d) { return d.attached && d.primary; });
    if (was == now.displays.end()) {
      return Refusal{RefusalReason::kNoPrimary,
                     {},
                     {},
                     0,
                     "no display would be the primary: none is now, and none is named"};
    }
    primary = static_cast<std::size_t>(was - now.displays.begin());
    if (!after[*primary].attached) {
      return Refused(RefusalReason::kNoPrimary, *was,
                     "is the primary and would be detached, and no other is named the primary");
    }
  }
  for (std::size_t i = 0; i < after.size(); ++i) after[i].primary = i == *primary;

  // Windows keeps the primary at 0, 0: the layout moves with it. Every
  // rectangle must then be one the virtual screen's numbers can hold.
  const Point origin = after[*primary].position;
  for (LayoutDisplay& a : after) {
    if (!a.attached) continue;
    const std::int64_t x = std::int64_t{a.position.x} - origin.x;
    const std::int64_t y = std::int64_t{a.position.y} - origin.y;
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    if (x < kMin || x + a.mode.width > kMax || y < kMin || y + a.mode.height > kMax) {
      return Refused(RefusalReason::kOutOfRange, a,
                     "position " + PointText(a.position) + " is out of range for " +
                         ModeText(a.mode) + " with the primary at 0,0");
    }
    a.position = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
  }

  for (std::size_t i = 0; i < after.size(); ++i) {
    const LayoutDisplay& n = now.displays[i];
    const LayoutDisplay& a = after[i];
    if (SameSettings(n, a)) {
      after[i] = n;  // a detached one as the system keeps it
      continue;
    }
    LayoutChange change{n.adapter, n.key, n, a, a.primary && !(n.attached && n.primary)};
    if (i == *primary) {
      plan.changes.insert(plan.changes.begin(), std::move(change));
    } else {
      plan.changes.push_back(std::move(change));
    }
  }
  return plan;
}

}  // namespace

Result<LayoutPlan, Refusal> Plan(const Layout& wanted) { return LayoutChanger().Plan(wanted); }

std::vector<std::string> Describe(const LayoutPlan& plan) {
  std::vector<std::string> lines;
  for (const LayoutChange& c : plan.changes) {
    const LayoutDisplay& b = c.before;
    const LayoutDisplay& a = c.after;
    std::vector<std::string> parts;
    if (!a.attached) {
      parts.push_back("detached");
    } else if (!b.attached) {
      parts.push_back("attached at " + PointText(a.position) + ", " + ModeText(a.mode));
      if (a.orientation != 0) parts.push_back("orientation " + std::to_string(a.orientation));
      if (a.primary) parts.push_back("becomes the primary");
    } else {
      if (a.mode != b.mode) parts.push_back("mode " + ModeText(b.mode) + " -> " + ModeText(a.mode));
      if (a.orientation != b.orientation) {
        parts.push_back("orientation " + std::to_string(b.orientation) + " -> " +
                        std::to_string(a.orientation));
      }
      if (a.position != b.position) {
        parts.push_back("position " + PointText(b.position) + " -> " + PointText(a.position));
      }
      if (a.primary != b.primary) {
        parts.push_back(a.primary ? "becomes the primary" : "no longer the primary");
      }
    }
    std::string line = NameOf(b) + ":";
    for (std::size_t k = 0; k < parts.size(); ++k) line += (k ? "; " : " ") + parts[k];
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace vantrel

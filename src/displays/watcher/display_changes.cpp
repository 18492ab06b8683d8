// The difference of two snapshots.
#include <cstddef>
#include <vector>

#include "vantrel/displays/watcher.h"

namespace vantrel {

namespace {

ChangedFacts Compare(const Display& a, const Display& b) {
  ChangedFacts facts = ChangedFacts::kNone;
  if (a.bounds != b.bounds) facts = facts | ChangedFacts::kBounds;
  if (a.work_area != b.work_area) facts = facts | ChangedFacts::kWorkArea;
  if (a.dpi != b.dpi) facts = facts | ChangedFacts::kScale;
  if (a.current_mode != b.current_mode || a.bits_per_pixel != b.bits_per_pixel ||
      a.refresh_rate != b.refresh_rate || a.orientation != b.orientation) {
    facts = facts | ChangedFacts::kMode;
  }
  if (a.primary != b.primary) facts = facts | ChangedFacts::kPrimary;
  // Every other member, so that kNone means equal; the key matched already.
  if (a.handle != b.handle || a.device_name != b.device_name || a.number != b.number ||
      a.name != b.name || a.physical_size != b.physical_size || a.connection != b.connection ||
      a.modes != b.modes || a.clones != b.clones) {
    facts = facts | ChangedFacts::kOther;
  }
  // A member added to Display later and not named above.
  if (!Any(facts) && a != b) facts = ChangedFacts::kOther;
  return facts;
}

}  // namespace

DisplayChanges Difference(const Displays& before, const Displays& after) {
  DisplayChanges changes;
  // Snapshots hold a handful of displays: a linear search beats any index.
  std::vector<bool> matched(before.size(), false);
  for (const Display& now : after) {
    std::size_t i = 0;
    while (i < before.size() && (matched[i] || before[i].key != now.key)) ++i;
    if (i == before.size()) {
      changes.added.push_back(now);
      continue;
    }
    matched[i] = true;
    const ChangedFacts facts = Compare(before[i], now);
    if (Any(facts)) changes.changed.push_back({before[i], now, facts});
  }
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (!matched[i]) changes.removed.push_back(before[i]);
  }
  changes.now = after;
  return changes;
}

}  // namespace vantrel

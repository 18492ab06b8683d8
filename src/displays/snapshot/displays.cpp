// The lookups on a snapshot of the displays.
#include "vantrel/displays/displays.h"

#include <algorithm>
#include <compare>
#include <cstddef>
#include <iterator>

#include "vantrel/platform/system.h"

namespace vantrel {

namespace {

// The squared distance between two rectangles, exactly: each gap is below
// 2^32, so its square fits in 64 unsigned bits but the sum of two may not; it
// carries into a second word.
struct SquaredDistance {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  friend auto operator<=>(const SquaredDistance&, const SquaredDistance&) = default;
};

SquaredDistance SumOfSquares(std::uint64_t x, std::uint64_t y) {
  const std::uint64_t low = x * x + y * y;
  return {low < x * x ? 1u : 0u, low};
}

// The distance between the edges of two spans [lo1, hi1) and [lo2, hi2): 0
// where they touch or overlap, as Windows measures for MONITOR_DEFAULTTONEAREST.
std::uint64_t Gap(std::int64_t lo1, std::int64_t hi1, std::int64_t lo2, std::int64_t hi2) {
  if (hi1 <= lo2) return static_cast<std::uint64_t>(lo2 - hi1);
  if (hi2 <= lo1) return static_cast<std::uint64_t>(lo1 - hi2);
  return 0;
}

// The pixels shared along one axis; at most 2^32 - 1, so an area fits in 64
// unsigned bits.
std::uint64_t Shared(std::int64_t lo1, std::int64_t hi1, std::int64_t lo2, std::int64_t hi2) {
  const std::int64_t shared = std::min(hi1, hi2) - std::max(lo1, lo2);
  return shared > 0 ? static_cast<std::uint64_t>(shared) : 0;
}

// Rectangles as 64-bit spans, so that a point's one-pixel span at INT32_MAX
// does not overflow.
struct Span2D {
  std::int64_t left, top, right, bottom;
};
Span2D SpanOf(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
Span2D SpanOf(Point p) { return {p.x, p.y, std::int64_t{p.x} + 1, std::int64_t{p.y} + 1}; }

}  // namespace

std::string_view ToString(Connection connection) noexcept {
  // In the enumeration's order.
  static constexpr std::string_view kNames[] = {"unknown", "internal", "hdmi", "displayport",
                                                "dvi",     "vga",      "other"};
  const auto k = static_cast<std::size_t>(connection);
  return k < std::size(kNames) ? kNames[k] : kNames[0];
}

const Display* Displays::FindByKey(std::string_view key) const noexcept {
  const auto found = std::ranges::find(displays_, key, &Display::key);
  return found == displays_.end() ? nullptr : &*found;
}

namespace {

const Display* PrimaryOf(const std::vector<Display>& displays) {
  const auto found = std::ranges::find_if(displays, &Display::primary);
  return found == displays.end() ? nullptr : &*found;
}

template <class Shape>
const Display* Nearest(const std::vector<Display>& displays, const Shape& shape) {
  const Span2D s = SpanOf(shape);
  const Display* nearest = nullptr;
  SquaredDistance best;
  for (const Display& d : displays) {
    const Span2D b = SpanOf(d.bounds);
    const SquaredDistance distance =
        SumOfSquares(Gap(s.left, s.right, b.left, b.right), Gap(s.top, s.bottom, b.top, b.bottom));
    if (!nearest || distance < best) {  // a tie goes to the first listed
      nearest = &d;
      best = distance;
    }
  }
  return nearest;
}

// What a lookup that found no display answers.
template <class Shape>
const Display* Otherwise(const std::vector<Display>& displays, const Shape& shape,
                         Fallback fallback) {
  if (fallback == Fallback::kNearest) return Nearest(displays, shape);
  return fallback == Fallback::kPrimary ? PrimaryOf(displays) : nullptr;
}

}  // namespace

const Display* Displays::Primary() const noexcept { return PrimaryOf(displays_); }

const Display* Displays::AtPoint(Point point, Fallback fallback) const noexcept {
  const auto found =
      std::ranges::find_if(displays_, [&](const Display& d) { return d.bounds.contains(point); });
  if (found != displays_.end()) return &*found;
  return Otherwise(displays_, point, fallback);
}

const Display* Displays::OfRect(const Rect& rect, Fallback fallback) const noexcept {
  if (rect.width() <= 0 || rect.height() <= 0) return AtPoint({rect.left, rect.top}, fallback);
  const Span2D r = SpanOf(rect);
  const Display* largest = nullptr;
  std::uint64_t largest_area = 0;
  for (const Display& d : displays_) {
    const Span2D b = SpanOf(d.bounds);
    const std::uint64_t area =
        Shared(r.left, r.right, b.left, b.right) * Shared(r.top, r.bottom, b.top, b.bottom);
    if (area > largest_area) {  // a tie goes to the first listed
      largest = &d;
      largest_area = area;
    }
  }
  if (largest) return largest;
  return Otherwise(displays_, rect, fallback);
}

const Display* Displays::OfWindow(HWND__* window, Fallback fallback) const noexcept {
  platform::System& system = platform::CurrentSystem();
  const auto id = reinterpret_cast<std::uintptr_t>(window);
  // A minimized window's rectangle is parked off every display; the one it
  // will be restored to says where it belongs.
  const std::optional<platform::PlacementRecord> record = system.Placement(id);
  const std::optional<Rect> rect = !record ? std::nullopt
                                   : platform::IsMinimized(record->show_command)
                                       ? record->normal
                                       : system.WindowRect(id);
  // A window that is gone has no place to be nearest to.
  if (!rect) return fallback == Fallback::kNone ? nullptr : Primary();
  return OfRect(*rect, fallback);
}

}  // namespace vantrel

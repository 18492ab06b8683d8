// ClosestMode. Rules 1 and 2 only order some modes against others (neither
// of 2560 x 1080 and 1920 x 1200 covers more of a wanted 1920 x 1080), so
// they are a filter: a mode is out when another beats it. A display offers
// some 150 modes, so the filter's quadratic cost is nothing. Rules 3 to 6
// then order what is left.
#include "vantrel/displays/modes.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace vantrel {
namespace {

// Every field widened, so that no difference or product of int32 values
// overflows.
struct Size {
  std::int64_t width;
  std::int64_t height;
  friend bool operator==(const Size&, const Size&) = default;
};

// At least as wide and as tall, and not the same.
bool Larger(const Size& a, const Size& b) {
  return a.width >= b.width && a.height >= b.height && a != b;
}

// Products of two 64-bit terms, exact.
using Wide = unsigned __int128;

class Chooser {
 public:
  Chooser(const Display& display, const DisplayMode& wanted) {
    const DisplayMode& current = display.current_mode;
    want_ = {wanted.width > 0 ? wanted.width : current.width,
             wanted.height > 0 ? wanted.height : current.height};
    refresh_ = wanted.frequency > 0 ? wanted.frequency : current.frequency;
    bits_ = wanted.bits_per_pixel;
  }

  // Rules 1 and 2: `a` is out when `b` covers more of what is wanted, or
  // covers the same and is smaller.
  bool Beats(const DisplayMode& b, const DisplayMode& a) const {
    const Size cover_a = Cover(a);
    const Size cover_b = Cover(b);
    return Larger(cover_b, cover_a) || (cover_b == cover_a && Larger(SizeOf(a), SizeOf(b)));
  }

  // Rules 3 to 5: whether `a` comes strictly before `b`.
  bool Before(const DisplayMode& a, const DisplayMode& b) const {
    if (want_.width > 0 && want_.height > 0) {
      const auto [a_far, a_near] = AspectTerms(a);
      const auto [b_far, b_near] = AspectTerms(b);
      // a_far / a_near against b_far / b_near, both positive.
      const Wide a_distance = Wide{a_far} * b_near;
      const Wide b_distance = Wide{b_far} * a_near;
      if (a_distance != b_distance) return a_distance < b_distance;
    }
    if (const int by = Nearer(a.frequency, b.frequency, refresh_)) return by < 0;
    return Nearer(a.bits_per_pixel, b.bits_per_pixel, bits_) < 0;
  }

 private:
  static Size SizeOf(const DisplayMode& m) { return {m.width, m.height}; }

  Size Cover(const DisplayMode& m) const {
    return {std::min<std::int64_t>(m.width, want_.width),
            std::min<std::int64_t>(m.height, want_.height)};
  }

  // The mode's ratio against the wanted one as width x wanted height over
  // height x wanted width, larger term first: each below 2^62.
  std::pair<std::uint64_t, std::uint64_t> AspectTerms(const DisplayMode& m) const {
    const auto across = static_cast<std::uint64_t>(m.width * want_.height);
    const auto down = static_cast<std::uint64_t>(m.height * want_.width);
    return {std::max(across, down), std::min(across, down)};
  }

  // Negative when `a` is the nearer to `target`, or as near and higher;
  // positive the other way; 0 when they are equal. No target: the higher.
  static int Nearer(std::int64_t a, std::int64_t b, std::int64_t target) {
    if (target > 0) {
      const std::int64_t a_off = a > target ? a - target : target - a;
      const std::int64_t b_off = b > target ? b - target : target - b;
      if (a_off != b_off) return a_off < b_off ? -1 : 1;
    }
    return a == b ? 0 : (a > b ? -1 : 1);
  }

  Size want_{};
  std::int64_t refresh_ = 0;
  std::int64_t bits_ = 0;
};

}  // namespace

std::optional<DisplayMode> ClosestMode(const Display& display, const DisplayMode& wanted) {
  std::vector<DisplayMode> offered;
  offered.reserve(display.modes.size() + 1);
  const auto offer = [&](const DisplayMode& m) {
    if (m.width > 0 && m.height > 0) offered.push_back(m);
  };
  for (const DisplayMode& m : display.modes) offer(m);
  offer(display.current_mode);

  const Chooser chooser(display, wanted);
  const DisplayMode* best = nullptr;
  for (const DisplayMode& m : offered) {
    const bool out = std::any_of(offered.begin(), offered.end(),
                                 [&](const DisplayMode& other) { return chooser.Beats(other, m); });
    // Strictly before: of modes alike by every rule, the first offered stays.
    if (!out && (!best || chooser.Before(m, *best))) best = &m;
  }
  if (!best) return std::nullopt;
  return *best;
}

}  // namespace vantrel

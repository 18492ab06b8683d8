// ClosestMode from any offered modes and any wanted one: fields at the int32
// extremes, of no size or negative, the current mode listed or not, modes in
// any order and repeated. With O the offered modes of positive width and
// height (the list and the current mode) and W x H the wanted size after its
// 0 rules, it checks, by arithmetic of its own (native 128-bit products):
//  - a mode is chosen exactly when O is not empty, and it is one of O;
//  - the size rules hold: no mode of O covers more of W x H (min(w, W) by
//    min(h, H) at least as much both ways and more one way), and of those
//    covering as much none is smaller; so where a mode fits, the chosen one
//    fits and no fitting mode is smaller;
//  - of the modes those rules leave, none has a strictly closer aspect ratio
//    (the larger of w * H and h * W over the smaller);
//  - no mode of its size has a refresh nearer the target, or as near and
//    higher (the highest where there is no target);
//  - width, height and refresh 0 or below give the current mode's size, and
//    its refresh where known.
// The sanitizers catch any overflow.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "fuzz_require.h"
#include "vantrel/displays/modes.h"

namespace {

using namespace vantrel;
using i64 = std::int64_t;
using u128 = unsigned __int128;

std::int32_t Field(FuzzedDataProvider& in, std::initializer_list<std::int32_t> usual) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.PickValueInArray({INT32_MIN, -1, 0, 1, INT32_MAX - 1, INT32_MAX});
    case 1:
      return in.ConsumeIntegral<std::int32_t>();
    default:
      return usual.begin()[in.ConsumeIntegralInRange<std::size_t>(0, usual.size() - 1)];
  }
}

DisplayMode AnyMode(FuzzedDataProvider& in) {
  return {Field(in, {640, 800, 1024, 1280, 1600, 1920, 2560, 3840}),
          Field(in, {480, 600, 720, 768, 900, 1024, 1080, 1200, 2160}),
          Field(in, {0, 8, 16, 24, 32}), Field(in, {0, 50, 59, 60, 75, 120, 144})};
}

struct Cover {
  i64 w;
  i64 h;
};

// At least as large both ways and larger one way.
bool More(i64 aw, i64 ah, i64 bw, i64 bh) { return aw >= bw && ah >= bh && (aw > bw || ah > bh); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  Display d;
  d.modes.resize(in.ConsumeIntegralInRange<std::size_t>(0, 12));
  for (DisplayMode& m : d.modes) m = AnyMode(in);
  d.current_mode = !d.modes.empty() && in.ConsumeBool()
                       ? d.modes[in.ConsumeIntegralInRange<std::size_t>(0, d.modes.size() - 1)]
                       : AnyMode(in);
  DisplayMode wanted{};
  if (in.ConsumeBool()) wanted = AnyMode(in);
  const std::optional<DisplayMode> chosen = ClosestMode(d, wanted);

  std::vector<DisplayMode> offered;
  for (const DisplayMode& m : d.modes) {
    if (m.width > 0 && m.height > 0) offered.push_back(m);
  }
  const DisplayMode& now = d.current_mode;
  if (now.width > 0 && now.height > 0) offered.push_back(now);
  Require(chosen.has_value() == !offered.empty(), "a mode chosen exactly when one is offered");
  if (!chosen) return 0;
  const DisplayMode r = *chosen;
  Require(std::find(offered.begin(), offered.end(), r) != offered.end(), "not an offered mode");

  const i64 want_w = wanted.width > 0 ? wanted.width : now.width;
  const i64 want_h = wanted.height > 0 ? wanted.height : now.height;
  const auto cover = [&](const DisplayMode& m) {
    return Cover{std::min<i64>(m.width, want_w), std::min<i64>(m.height, want_h)};
  };
  // Left by the size rules: nothing covers more, nothing covering as much is
  // smaller.
  const auto left = [&](const DisplayMode& m) {
    const Cover c = cover(m);
    return std::none_of(offered.begin(), offered.end(), [&](const DisplayMode& o) {
      const Cover k = cover(o);
      return More(k.w, k.h, c.w, c.h) ||
             (k.w == c.w && k.h == c.h && More(m.width, m.height, o.width, o.height));
    });
  };
  Require(left(r), "another mode covers more, or as much and is smaller");

  if (want_w > 0 && want_h > 0) {
    const auto far_near = [&](const DisplayMode& m) {
      const u128 across = static_cast<u128>(m.width) * static_cast<u128>(want_h);
      const u128 down = static_cast<u128>(m.height) * static_cast<u128>(want_w);
      return std::pair{std::max(across, down), std::min(across, down)};
    };
    const auto [r_far, r_near] = far_near(r);
    for (const DisplayMode& m : offered) {
      const auto [m_far, m_near] = far_near(m);
      Require(!left(m) || m_far * r_near >= r_far * m_near, "a closer aspect ratio was left");
    }
  }

  const i64 target = wanted.frequency > 0 ? wanted.frequency : now.frequency;
  const auto off = [&](i64 f) { return target > 0 ? (f > target ? f - target : target - f) : 0; };
  for (const DisplayMode& m : offered) {
    if (m.width != r.width || m.height != r.height) continue;
    const i64 mo = off(m.frequency);
    const i64 ro = off(r.frequency);
    Require(mo > ro || (mo == ro && m.frequency <= r.frequency), "a nearer refresh at its size");
  }

  if (wanted.width <= 0 && wanted.height <= 0 && wanted.frequency <= 0 && now.width > 0 &&
      now.height > 0) {
    Require(r.width == now.width && r.height == now.height, "all 0: not the current size");
    if (now.frequency > 0) Require(r.frequency == now.frequency, "all 0: not the current refresh");
  }
  return 0;
}

// A window's place from any input: a saved placement and the displays of now,
// with coordinates and DPIs at their extremes (0, 1, 2^32 - 1), keys that
// match, repeat or match nothing, work areas inverted or off their displays;
// and any text as a settings file could hold it. Checks, each by its own
// arithmetic rather than the library's: the window lands on a display of
// now; an unchanged layout with a reachable title bar gives the very
// rectangle; any other result lies wholly within the display's work area, at
// the saved size scaled by the DPIs where that fits; text parses and prints
// back the same, or is rejected. The sanitizers catch any overflow.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_require.h"
#include "vantrel/displays/placement.h"

namespace {

using namespace vantrel;

std::int32_t Coordinate(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 3) == 0) {
    return in.PickValueInArray({INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX});
  }
  return in.ConsumeIntegralInRange(-5000, 5000);
}

Rect AnyRect(FuzzedDataProvider& in) {
  return {Coordinate(in), Coordinate(in), Coordinate(in), Coordinate(in)};
}

std::uint32_t AnyDpi(FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return in.PickValueInArray<std::uint32_t>({96, 120, 144, 192, 96, 288});
  return in.ConsumeBool()
             ? in.PickValueInArray<std::uint32_t>({0, 1, 2, UINT32_MAX - 1, UINT32_MAX})
             : in.ConsumeIntegral<std::uint32_t>();
}

std::string AnyKey(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.PickValueInArray({"", "A", "B", "C"})
                          : in.ConsumeRandomLengthString(24);
}

std::int64_t Width(const Rect& r) {
  return std::max<std::int64_t>(0, std::int64_t{r.right} - r.left);
}
std::int64_t Height(const Rect& r) {
  return std::max<std::int64_t>(0, std::int64_t{r.bottom} - r.top);
}

// min(60, width) x 30 pixels of the top strip within one work area: the
// strip and each work area intersected as rectangles.
bool Reachable(const Rect& r, const Displays& now) {
  if (Width(r) == 0 || Height(r) == 0) return false;
  const std::int64_t strip_bottom = std::int64_t{r.top} + std::min<std::int64_t>(30, Height(r));
  for (const Display& d : now) {
    const std::int64_t l = std::max(r.left, d.work_area.left);
    const std::int64_t rt = std::min(r.right, d.work_area.right);
    const std::int64_t t = std::max(r.top, d.work_area.top);
    const std::int64_t b = std::min<std::int64_t>(strip_bottom, d.work_area.bottom);
    if (rt - l >= std::min<std::int64_t>(60, Width(r)) && t == r.top && b == strip_bottom) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);

  // Any text: rejected, or read and written back as it was.
  const std::string text = in.ConsumeRandomLengthString(160);
  if (const auto parsed = PlacementFromText(text)) {
    Require(ToText(*parsed) == text, "a text read back differs");
  }

  std::vector<Display> displays(in.ConsumeIntegralInRange<std::size_t>(1, 5));
  for (Display& d : displays) {
    d.key = AnyKey(in);
    d.bounds = AnyRect(in);
    d.work_area = in.ConsumeBool() ? d.bounds : AnyRect(in);
    d.dpi = AnyDpi(in);
    d.primary = in.ConsumeBool();
  }
  const Displays now(std::move(displays));

  WindowPlacement saved{AnyKey(in), AnyRect(in), AnyRect(in), AnyDpi(in),
                        in.ConsumeBool() ? WindowState::kMaximized : WindowState::kNormal};
  if (in.ConsumeBool()) {  // saved on a display of now, as it still is
    const Display& d = now[in.ConsumeIntegralInRange<std::size_t>(0, now.size() - 1)];
    saved.display_key = d.key;
    saved.work_area = d.work_area;
    saved.dpi = d.dpi;
  }
  const auto back = PlacementFromText(ToText(saved));
  Require(back && *back == saved, "a placement does not come back from its text");

  const Placed placed = Fit(saved, now);
  Require(placed.display >= &now[0] && placed.display <= &now[now.size() - 1],
          "not on a display of now");
  Require(placed.state == saved.state, "the state changed");
  const Display* by_key = saved.display_key.empty() ? nullptr : now.FindByKey(saved.display_key);
  if (by_key) Require(placed.display == by_key, "not on the display of its key");
  const auto dpi = [](std::uint32_t v) { return v ? v : 96u; };
  if (by_key && dpi(by_key->dpi) == dpi(saved.dpi) && by_key->work_area == saved.work_area &&
      Reachable(saved.bounds, now)) {
    Require(placed.bounds == saved.bounds, "an unchanged layout moved the window");
    return 0;
  }

  const Rect& work = placed.display->work_area;
  const Rect& r = placed.bounds;
  Require(r.left >= work.left && r.top >= work.top, "above or left of the work area");
  Require(Width(r) <= Width(work) && Height(r) <= Height(work), "larger than the work area");
  Require(r.right >= r.left && r.bottom >= r.top, "inverted");
  if (Width(work) > 0) Require(r.right <= work.right, "right of the work area");
  if (Height(work) > 0) Require(r.bottom <= work.bottom, "below the work area");
  // The saved size at the new DPI, to the nearest pixel, wherever it fits
  // (below 2^20 pixels, where a long double's quotient rounds as the exact
  // one does).
  const auto scaled = [&](std::int64_t v) {
    return static_cast<long double>(v) * dpi(placed.display->dpi) / dpi(saved.dpi);
  };
  const long double w = scaled(Width(saved.bounds));
  const long double h = scaled(Height(saved.bounds));
  if (w < (1 << 20) && h < (1 << 20) && std::llround(w) <= Width(work) &&
      std::llround(h) <= Height(work)) {
    Require(Width(r) == std::llround(w) && Height(r) == std::llround(h),
            "not the saved size at the new DPI");
  }
  return 0;
}

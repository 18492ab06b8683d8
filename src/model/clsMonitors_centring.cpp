// Centring a window on a monitor's work area, with the primary screen as the
// fallback. Positions are in twips, the service's rectangles in pixels.
#include "vantrel/base/attempt.h"
#include "vantrel/base/checked_math.h"
#include "vantrel/monitors/clsMonitors.h"
#include "vantrel/monitors/value.h"
#include "vantrel/platform/service_calls.h"

namespace vantrel {

using namespace platform;

bool clsMonitors::CenterFormOnMonitor(ui::Form& FormToCenter,
                                      const std::optional<ui::Value>& ReferenceForm) {
  std::int32_t monitor = 0;
  std::int32_t info = 0;
  MonitorInfoRecord mi;
  std::int32_t work_width = 0;
  std::int32_t work_height = 0;

  // The handler: a function missing from the service (453) means the
  // multi-monitor path is out of reach, so centre on the primary screen and
  // end; a failure there reaches the caller. Any other failure skips the rest
  // of its step; what the step would have stored keeps its value.
  bool ended = false;
  const auto step = [&](auto&& body) {
    if (ended) return;
    if (AttemptNumbered(body) == kFunctionMissing) {
      CenterOnPrimaryScreen(FormToCenter);
      ended = true;
    }
  };

  if (!ReferenceForm) {
    step([&] { monitor = GetMonitorFromXYPoint(1, 1, MONITOR_DEFAULTTOPRIMARY); });
  } else {
    step([&] {
      monitor = GetMonitorFromWindow(ToInt32(PropertyOf(*ReferenceForm, "hwnd")),
                                     MONITOR_DEFAULTTOPRIMARY);
    });
  }
  if (ended) return false;
  if (monitor == 0) {
    step([&] { CenterOnPrimaryScreen(FormToCenter); });
    return false;
  }

  mi.SetInt32<MonitorInfo::cbSize>(MonitorInfo::kDeclaredSize);
  step([&] { info = service_.GetMonitorInfoA(monitor, mi); });
  if (ended || info == 0) return false;

  const auto work_left = mi.Int32<MonitorInfo::rcWorkLeft>();
  const auto work_top = mi.Int32<MonitorInfo::rcWorkTop>();
  step([&] {
    const double across = CheckedSub(mi.Int32<MonitorInfo::rcWorkRight>(), work_left);
    work_width = Nearest(Screen().TwipsPerPixelX() * across);
  });
  step([&] {
    const double down = CheckedSub(mi.Int32<MonitorInfo::rcWorkBottom>(), work_top);
    work_height = Nearest(Screen().TwipsPerPixelY() * down);
  });
  // The halves are added to the work area's corner, not the monitor's, so a
  // task bar on the left or top edge does not push the window off centre.
  step([&] {
    const double width = FormToCenter.Width();
    const double twips_x = Screen().TwipsPerPixelX();
    const double height = FormToCenter.Height();
    const double twips_y = Screen().TwipsPerPixelY();
    // Nearest fails on anything not finite; the narrowing of Left and the
    // check of Top catch what the corner's product adds.
    const double left = Halve(Nearest(work_width - width)) + twips_x * work_left;
    const double top = CheckedFinite(Halve(Nearest(work_height - height)) + twips_y * work_top);
    FormToCenter.Move(CheckedSingle(left), top);
  });
  return false;
}

// The primary screen's full size, task bars not counted, corner at (0, 0).
// Every read is made before the window is moved.
void clsMonitors::CenterOnPrimaryScreen(ui::Form& form) {
  const std::int32_t screen_width = ScreenWidthTwips();
  const double width = form.Width();
  const std::int32_t screen_height = ScreenHeightTwips();
  const double height = form.Height();
  const float left = static_cast<float>(Halve(Nearest(screen_width - width)));
  const std::int32_t top = Halve(Nearest(screen_height - height));
  form.Move(left, top);
}

std::int32_t clsMonitors::ScreenWidthTwips() {
  const double twips = Screen().TwipsPerPixelX();
  return Nearest(twips * service_.GetSystemMetrics(SM_CXSCREEN));
}

std::int32_t clsMonitors::ScreenHeightTwips() {
  const double twips = Screen().TwipsPerPixelY();
  return Nearest(twips * service_.GetSystemMetrics(SM_CYSCREEN));
}

const ui::Screen& clsMonitors::Screen() const {
  if (!screen_) Fail(kObjectNotSet);
  return *screen_;
}

}  // namespace vantrel

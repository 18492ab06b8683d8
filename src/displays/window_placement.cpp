// Saving and restoring a window's place, and keeping it in view, through the
// window and display services.
#include "vantrel/displays/window_placement.h"

namespace vantrel {

namespace {

using platform::PlacementRecord;
namespace show = platform::show_command;

// A normal rectangle between the system's coordinates and the screen's, as
// the window and the display it belongs to have it. Where the display's work
// area starts at its corner the two agree, and nothing need be asked.
Rect SystemToScreen(WindowSystem s, std::uintptr_t window, const Rect& normal,
                    const Display* display) {
  if (!display) return normal;
  const platform::WorkspaceOffset offset = platform::OffsetOf(display->bounds, display->work_area);
  if (offset.none() || s.windows.PlacedOnScreen(window)) return normal;
  return NormalToScreen(normal, Convention(s.windows, display->bounds, display->work_area), offset);
}
Rect ScreenToSystem(WindowSystem s, std::uintptr_t window, const Rect& screen,
                    const Display* display) {
  if (!display) return screen;
  const platform::WorkspaceOffset offset = platform::OffsetOf(display->bounds, display->work_area);
  if (offset.none() || s.windows.PlacedOnScreen(window)) return screen;
  return ScreenToNormal(screen, Convention(s.windows, display->bounds, display->work_area), offset);
}

bool Minimized(const PlacementRecord& r) {
  return r.show_command == show::kMinimized || r.show_command == show::kMinimize ||
         r.show_command == show::kMinimizedNoActivate;
}

// Applies a place; again when the window's DPI changed on the way, since a
// window that lands on a display of another scale resizes itself for it.
template <class Apply>
bool AppliedAtItsDpi(WindowSystem s, std::uintptr_t window, Apply apply) {
  const auto before = s.windows.WindowDpi(window);
  if (!apply()) return false;
  const auto after = s.windows.WindowDpi(window);
  return before && after && *before != *after ? apply() : true;
}

// Where Fit puts a window saved just now on the display nearest it: right
// where it is while its title bar can be reached, else wholly within that
// display's work area.
Placed KeptInView(const Rect& r, const Displays& now) {
  const Display* d = now.OfRect(r, Fallback::kNearest);
  return Fit({d->key, r, d->work_area, d->dpi, WindowState::kNormal}, now);
}

}  // namespace

WindowPlacement SavePlacement(WindowSystem s, std::uintptr_t window) {
  const std::optional<PlacementRecord> record = s.windows.Placement(window);
  const std::optional<Rect> rect = s.windows.WindowRect(window);
  if (!record || !rect) return {};
  const Displays now = Displays::Take(s.displays, {.modes = false});
  const bool minimized = Minimized(*record);
  const bool maximized = record->show_command == show::kMaximized;

  WindowPlacement saved;
  const Display* on = nullptr;
  if (!minimized && !maximized) {
    // What shows: a snapped window's normal rectangle is its size before it
    // was snapped.
    saved.bounds = *rect;
    on = now.OfRect(*rect, Fallback::kNearest);
    // A window shown normally tells which coordinates the system uses, free.
    if (on && !s.windows.learnt() && !s.windows.PlacedOnScreen(window)) {
      const auto shown =
          ConventionShown(*rect, record->normal, platform::OffsetOf(on->bounds, on->work_area));
      if (shown) s.windows.Learn(*shown);
    }
  } else {
    // A maximized window belongs to the display it fills; a minimized one's
    // rectangle is parked off every display, its normal one says where it
    // belongs.
    on = now.OfRect(maximized ? *rect : record->normal, Fallback::kNearest);
    saved.bounds = SystemToScreen(s, window, record->normal, on);
    if (minimized) on = now.OfRect(saved.bounds, Fallback::kNearest);
  }
  saved.state = maximized || (minimized && (record->flags & platform::kRestoreToMaximized))
                    ? WindowState::kMaximized
                    : WindowState::kNormal;
  if (on) {
    saved.display_key = on->key;
    saved.work_area = on->work_area;
    saved.dpi = on->dpi;
  }
  return saved;
}

bool RestorePlacement(WindowSystem s, std::uintptr_t window, const WindowPlacement& saved) {
  const std::optional<PlacementRecord> record = s.windows.Placement(window);
  if (!record) return false;
  const Displays now = Displays::Take(s.displays, {.modes = false});
  const Placed placed = now.empty() ? Placed{nullptr, saved.bounds, saved.state} : Fit(saved, now);
  PlacementRecord next = *record;
  next.flags = 0;
  next.show_command = placed.state == WindowState::kMaximized ? show::kMaximized : show::kNormal;
  next.normal = ScreenToSystem(s, window, placed.bounds, placed.display);
  return AppliedAtItsDpi(s, window, [&] { return s.windows.SetPlacement(window, next); });
}

bool EnsureVisible(WindowSystem s, std::uintptr_t window) {
  const std::optional<PlacementRecord> record = s.windows.Placement(window);
  const std::optional<Rect> rect = s.windows.WindowRect(window);
  if (!record || !rect) return false;
  const Displays now = Displays::Take(s.displays, {.modes = false});
  if (now.empty()) return false;
  const bool minimized = Minimized(*record);
  const bool maximized = record->show_command == show::kMaximized;

  if (!minimized && !maximized) {
    const Placed kept = KeptInView(*rect, now);
    if (kept.bounds == *rect) return false;
    return AppliedAtItsDpi(s, window, [&] { return s.windows.MoveTo(window, kept.bounds); });
  }
  // A maximized window shows while it fills a display; a minimized one is
  // kept in view where it will be restored to.
  if (maximized && now.OfRect(*rect, Fallback::kNone)) return false;
  const Rect normal =
      SystemToScreen(s, window, record->normal,
                     now.OfRect(maximized ? *rect : record->normal, Fallback::kNearest));
  const Placed kept = KeptInView(normal, now);
  if (!maximized && kept.bounds == normal) return false;
  PlacementRecord next = *record;
  next.flags &= platform::kRestoreToMaximized;
  next.show_command = maximized ? show::kMaximized : show::kMinimizedNoActivate;
  next.normal = ScreenToSystem(s, window, kept.bounds, kept.display);
  return s.windows.SetPlacement(window, next);
}

}  // namespace vantrel

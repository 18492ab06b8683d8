// The calls on a window: saving and restoring its place, keeping it in view
// and centring it, through the current system.
#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "vantrel/displays/placement.h"
#include "vantrel/displays/window_place.h"
#include "vantrel/platform/system.h"

namespace vantrel {

namespace {

using platform::CallResult;
using platform::PlacementRecord;
using platform::System;
namespace show = platform::show_command;

std::uintptr_t IdOf(HWND__* window) { return reinterpret_cast<std::uintptr_t>(window); }

// What failed, with the system's code, as "reading the window's place failed
// (system error 1400)".
Error Failed(ErrorCode code, std::uint32_t error, const char* what) {
  char text[128];
  std::snprintf(text, sizeof text, "%s failed (system error %" PRIu32 ")", what, error);
  return {code, error, text};
}
// A window whose place or rectangle cannot be read is gone.
Error Gone(const char* what = "reading the window's place") {
  return Failed(ErrorCode::kNoSuchWindow, platform::kInvalidWindowHandle, what);
}

// Applies a place; again when the window's DPI changed on the way, since a
// window that lands on a display of another scale resizes itself for it.
template <class Apply>
CallResult AppliedAtItsDpi(System& s, std::uintptr_t window, Apply apply) {
  const auto before = s.WindowDpi(window);
  if (const CallResult first = apply(); !first) return first;
  const auto after = s.WindowDpi(window);
  return before && after && *before != *after ? apply() : CallResult{};
}

// A place not applied: the window gone, or the system's refusal with its code.
Error NotApplied(System& s, std::uintptr_t window, CallResult refused, const char* what) {
  if (!s.Placement(window)) return Gone();
  return Failed(ErrorCode::kSystem, refused.error, what);
}

// Where Fit puts a window saved just now on the display nearest it: right
// where it is while its title bar can be reached, else wholly within that
// display's work area.
Placed KeptInView(const Rect& r, const Displays& now) {
  const Display* d = now.OfRect(r, Fallback::kNearest);
  return Fit({d->key, r, d->work_area, d->dpi, WindowState::kNormal}, now);
}

// What the calls that keep a window's place read first: the window's
// placement and rectangle, and the displays.
struct WindowNow {
  PlacementRecord record;
  Rect rect;
  Displays displays;
};
Result<WindowNow> Read(System& s, std::uintptr_t window) {
  const std::optional<PlacementRecord> record = s.Placement(window);
  const std::optional<Rect> rect = s.WindowRect(window);
  if (!record || !rect) return Gone();
  return WindowNow{*record, *rect, Displays::Take(s, {.modes = false})};
}

}  // namespace

WindowPlacement PlaceNow(const PlacementRecord& record, const Rect& rect, const Displays& now) {
  const bool minimized = platform::IsMinimized(record.show_command);
  const bool maximized = record.show_command == show::kMaximized;
  WindowPlacement saved;
  const Display* on = nullptr;
  if (!minimized && !maximized) {
    // What shows: a snapped window's normal rectangle is its size before it
    // was snapped.
    saved.bounds = rect;
    on = now.OfRect(rect, Fallback::kNearest);
  } else {
    // A maximized window belongs to the display it fills, a minimized one to
    // the one it will be restored to.
    saved.bounds = record.normal;
    on = now.OfRect(maximized ? rect : record.normal, Fallback::kNearest);
  }
  saved.state = maximized || (minimized && (record.flags & platform::kRestoreToMaximized))
                    ? WindowState::kMaximized
                    : WindowState::kNormal;
  if (on) {
    saved.display_key = on->key;
    saved.work_area = on->work_area;
    saved.dpi = on->dpi;
  }
  return saved;
}

Result<WindowPlacement> SavePlacement(HWND__* hwnd) {
  const Result<WindowNow> read = Read(platform::CurrentSystem(), IdOf(hwnd));
  if (!read) return read.error();
  return PlaceNow(read->record, read->rect, read->displays);
}

Result<void> RestorePlacement(HWND__* hwnd, const WindowPlacement& saved) {
  System& s = platform::CurrentSystem();
  const std::uintptr_t window = IdOf(hwnd);
  const std::optional<PlacementRecord> record = s.Placement(window);
  if (!record) return Gone();
  const Displays now = Displays::Take(s, {.modes = false});
  const Placed placed = now.empty() ? Placed{nullptr, saved.bounds, saved.state} : Fit(saved, now);
  PlacementRecord next = *record;
  next.flags = 0;
  next.show_command = placed.state == WindowState::kMaximized ? show::kMaximized : show::kNormal;
  next.normal = placed.bounds;
  const CallResult applied =
      AppliedAtItsDpi(s, window, [&] { return s.SetPlacement(window, next); });
  if (applied) return {};
  return NotApplied(s, window, applied, "putting the window in its place");
}

Result<Visibility> EnsureVisible(HWND__* hwnd) {
  System& s = platform::CurrentSystem();
  const std::uintptr_t window = IdOf(hwnd);
  const Result<WindowNow> read = Read(s, window);
  if (!read) return read.error();
  const auto& [record, rect, now] = *read;
  if (now.empty()) return Visibility::kAlreadyInView;
  const bool minimized = platform::IsMinimized(record.show_command);
  const bool maximized = record.show_command == show::kMaximized;

  CallResult moved;
  if (!minimized && !maximized) {
    const Placed kept = KeptInView(rect, now);
    if (kept.bounds == rect) return Visibility::kAlreadyInView;
    moved = AppliedAtItsDpi(s, window, [&] { return s.MoveTo(window, kept.bounds); });
  } else {
    // A maximized window shows while it fills a display; a minimized one is
    // kept in view where it will be restored to.
    if (maximized && now.OfRect(rect, Fallback::kNone)) return Visibility::kAlreadyInView;
    const Placed kept = KeptInView(record.normal, now);
    if (!maximized && kept.bounds == record.normal) return Visibility::kAlreadyInView;
    PlacementRecord next = record;
    next.flags &= platform::kRestoreToMaximized;
    next.show_command = maximized ? show::kMaximized : show::kMinimizedNoActivate;
    next.normal = kept.bounds;
    moved = s.SetPlacement(window, next);
  }
  if (moved) return Visibility::kMoved;
  return NotApplied(s, window, moved, "moving the window");
}

Result<void> CentreWindow(HWND__* hwnd, const Display& display) {
  System& s = platform::CurrentSystem();
  const std::uintptr_t window = IdOf(hwnd);
  const std::optional<Rect> r = s.WindowRect(window);
  if (!r) return Gone("reading the window's rectangle");
  const Rect& area = display.work_area;
  // In 64 bits: a window or area at the 32-bit extremes must not overflow.
  const std::int64_t left = area.left + (area.width() - r->width()) / 2;
  const std::int64_t top = area.top + (area.height() - r->height()) / 2;
  if (left < INT32_MIN || left > INT32_MAX || top < INT32_MIN || top > INT32_MAX) {
    return Error{ErrorCode::kInvalidArgument, 0, "the window does not fit the virtual screen"};
  }
  const auto edge = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(v, INT32_MAX));
  };
  const Rect centred{edge(left), edge(top), edge(left + r->width()), edge(top + r->height())};
  const CallResult moved = s.MoveTo(window, centred);
  if (moved) return {};
  return Failed(ErrorCode::kSystem, moved.error, "moving the window");
}

}  // namespace vantrel

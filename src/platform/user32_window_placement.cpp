#include <windows.h>

#include <algorithm>

#include "vantrel/base/handle_owners.h"
#include "vantrel/platform/dynamic_functions.h"
#include "vantrel/platform/window_placement_service.h"

namespace vantrel::platform {

static_assert(show_command::kNormal == SW_SHOWNORMAL &&
              show_command::kMinimized == SW_SHOWMINIMIZED &&
              show_command::kMaximized == SW_SHOWMAXIMIZED &&
              show_command::kMinimize == SW_MINIMIZE &&
              show_command::kMinimizedNoActivate == SW_SHOWMINNOACTIVE &&
              kRestoreToMaximized == WPF_RESTORETOMAXIMIZED);

namespace {

HWND HandleOf(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }
Rect FromRECT(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
// A width or height as SetWindowPos and CreateWindowEx take it: an inverted
// rectangle is empty, and none is wider than an int.
int Extent(std::int64_t length) {
  return static_cast<int>(std::clamp<std::int64_t>(length, 0, INT32_MAX));
}

class User32Placement final : public WindowPlacementService {
 public:
  std::optional<PlacementRecord> Placement(std::uintptr_t window) override {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(HandleOf(window), &wp)) return std::nullopt;
    return PlacementRecord{wp.flags,
                           wp.showCmd,
                           {wp.ptMinPosition.x, wp.ptMinPosition.y},
                           {wp.ptMaxPosition.x, wp.ptMaxPosition.y},
                           FromRECT(wp.rcNormalPosition)};
  }

  bool SetPlacement(std::uintptr_t window, const PlacementRecord& p) override {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.flags = p.flags;
    wp.showCmd = p.show_command;
    wp.ptMinPosition = {p.min_position.x, p.min_position.y};
    wp.ptMaxPosition = {p.max_position.x, p.max_position.y};
    wp.rcNormalPosition = ToRECT(p.normal);
    return SetWindowPlacement(HandleOf(window), &wp) != FALSE;
  }

  std::optional<Rect> WindowRect(std::uintptr_t window) override {
    RECT rc{};
    if (!GetWindowRect(HandleOf(window), &rc)) return std::nullopt;
    return FromRECT(rc);
  }

  bool PlacedOnScreen(std::uintptr_t window) override {
    const HWND hwnd = HandleOf(window);
    return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0 ||
           (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
  }

  std::optional<std::uint32_t> WindowDpi(std::uintptr_t window) override {
    const auto get_dpi = OptionalUser32().GetDpiForWindow;
    if (!get_dpi) return std::nullopt;
    const UINT dpi = get_dpi(HandleOf(window));
    if (dpi == 0) return std::nullopt;
    return dpi;
  }

  bool MoveTo(std::uintptr_t window, const Rect& r) override {
    return SetWindowPos(HandleOf(window), nullptr, r.left, r.top, Extent(r.width()),
                        Extent(r.height()),
                        SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != FALSE;
  }

  std::optional<Rect> ProbeNormalRect(const Rect& r) override {
    // A top-level window without WS_EX_TOOLWINDOW, never shown.
    const UniqueWindow probe(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, r.left, r.top,
                                             Extent(r.width()), Extent(r.height()), nullptr,
                                             nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!probe) return std::nullopt;
    const auto placement = Placement(reinterpret_cast<std::uintptr_t>(probe.get()));
    if (!placement) return std::nullopt;
    return placement->normal;
  }
};

}  // namespace

WindowPlacementService& User32WindowPlacement() noexcept {
  static User32Placement service;
  return service;
}

}  // namespace vantrel::platform

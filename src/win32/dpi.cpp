#include "vantrel/win32/dpi.h"

#include "vantrel/base/handle_owners.h"
#include "vantrel/platform/dynamic_functions.h"

namespace vantrel::ui {

using platform::OptionalUser32;

namespace {

UINT DeviceDpi(int axis) noexcept {
  const UniqueScreenDC screen(GetDC(nullptr));
  const int dpi = screen ? GetDeviceCaps(screen.get(), axis) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

UINT SystemDpi(int axis) noexcept {
  const auto& user32 = OptionalUser32();
  const UINT dpi = user32.GetDpiForSystem ? user32.GetDpiForSystem() : 0;
  return dpi ? dpi : DeviceDpi(axis);
}

UINT WindowDpi(HWND hwnd) noexcept {
  const auto& user32 = OptionalUser32();
  const UINT dpi = user32.GetDpiForWindow ? user32.GetDpiForWindow(hwnd) : 0;
  return dpi ? dpi : SystemDpi();
}

SIZE OuterSize(int client_width, int client_height, DWORD style, DWORD ex_style,
               UINT dpi) noexcept {
  RECT rc{0, 0, client_width, client_height};
  const auto& user32 = OptionalUser32();
  if (!user32.AdjustWindowRectExForDpi ||
      !user32.AdjustWindowRectExForDpi(&rc, style, FALSE, ex_style, dpi)) {
    rc = RECT{0, 0, client_width, client_height};
    AdjustWindowRectEx(&rc, style, FALSE, ex_style);
  }
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace vantrel::ui

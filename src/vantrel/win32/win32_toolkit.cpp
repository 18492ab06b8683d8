#include "vantrel/win32/win32_toolkit.h"

#include <algorithm>
#include <cctype>

#include "vantrel/base/checked_math.h"
#include "vantrel/base/failure.h"
#include "vantrel/win32/user32_optional.h"

namespace vantrel::ui {

namespace {

UINT DeviceDpi(int axis) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT SystemDpi(int axis = LOGPIXELSX) {
  const auto& user32 = OptionalUser32();
  const UINT dpi = user32.GetDpiForSystem ? user32.GetDpiForSystem() : 0;
  return dpi ? dpi : DeviceDpi(axis);
}

}  // namespace

RECT Win32Form::Bounds() const {
  RECT rc{};
  if (!GetWindowRect(hwnd_, &rc)) Fail(kInvalidCall);
  return rc;
}

float Win32Form::Width() const {
  const RECT rc = Bounds();
  return CheckedSingle((static_cast<double>(rc.right) - rc.left) * screen_.TwipsPerPixelX());
}

float Win32Form::Height() const {
  const RECT rc = Bounds();
  return CheckedSingle((static_cast<double>(rc.bottom) - rc.top) * screen_.TwipsPerPixelY());
}

void Win32Form::Move(double Left, double Top) {
  const int x = Nearest(Left / screen_.TwipsPerPixelX());
  const int y = Nearest(Top / screen_.TwipsPerPixelY());
  if (!SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
    Fail(kInvalidCall);
  }
}

std::optional<Value> Win32Form::Property(std::string_view name) const noexcept {
  constexpr std::string_view kHwnd = "hwnd";
  const bool is_hwnd =
      std::equal(name.begin(), name.end(), kHwnd.begin(), kHwnd.end(),
                 [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
  if (!is_hwnd) return std::nullopt;
  return Value{static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(hwnd_))};
}

float Win32Screen::TwipsPerPixelX() const noexcept {
  return static_cast<float>(TwipsPerPixel(static_cast<int>(SystemDpi(LOGPIXELSX))));
}

float Win32Screen::TwipsPerPixelY() const noexcept {
  // GetDpiForSystem is one figure for both axes; without it, each its own.
  return static_cast<float>(TwipsPerPixel(static_cast<int>(SystemDpi(LOGPIXELSY))));
}

const Screen& SystemScreen() noexcept {
  static const Win32Screen screen;
  return screen;
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

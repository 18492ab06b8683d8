#include "vantrel/win32/win32_toolkit.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "vantrel/base/attempt.h"
#include "vantrel/base/checked_math.h"
#include "vantrel/win32/dpi.h"

namespace vantrel::ui {

namespace {

RECT Bounds(HWND hwnd) {
  RECT rc{};
  if (!GetWindowRect(hwnd, &rc)) Fail(kInvalidCall, GetLastError(), "GetWindowRect");
  return rc;
}

}  // namespace

float Win32Form::Width() const {
  const RECT rc = Bounds(hwnd_);
  return CheckedSingle((static_cast<double>(rc.right) - rc.left) * screen_.TwipsPerPixelX());
}

float Win32Form::Height() const {
  const RECT rc = Bounds(hwnd_);
  return CheckedSingle((static_cast<double>(rc.bottom) - rc.top) * screen_.TwipsPerPixelY());
}

void Win32Form::Move(double Left, double Top) {
  const int x = Nearest(Left / screen_.TwipsPerPixelX());
  const int y = Nearest(Top / screen_.TwipsPerPixelY());
  if (!SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
    Fail(kInvalidCall, GetLastError(), "SetWindowPos");
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

}  // namespace vantrel::ui

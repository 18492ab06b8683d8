#include "vantrel/win32/user32_optional.h"

#include "vantrel/base/late_binding.h"

namespace vantrel::ui {

const User32Optional& OptionalUser32() {
  static Library user32{"user32.dll"};
  static const User32Optional functions{
      FindFunction<decltype(::GetDpiForWindow)>(user32, "GetDpiForWindow"),
      FindFunction<decltype(::GetDpiForSystem)>(user32, "GetDpiForSystem"),
      FindFunction<decltype(::AdjustWindowRectExForDpi)>(user32, "AdjustWindowRectExForDpi"),
  };
  return functions;
}

}  // namespace vantrel::ui

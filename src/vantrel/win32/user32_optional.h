// The user32 functions the Win32 layer uses where the system has them and
// does without where it does not (they arrived with Windows 10). Loaded once,
// by name; a member is null where the system lacks the function, and every
// caller checks it.
#pragma once

#include <windows.h>

namespace vantrel::ui {

struct User32Optional {
  decltype(::GetDpiForWindow)* GetDpiForWindow;
  decltype(::GetDpiForSystem)* GetDpiForSystem;
  decltype(::AdjustWindowRectExForDpi)* AdjustWindowRectExForDpi;
};

const User32Optional& OptionalUser32();

}  // namespace vantrel::ui

#include "vantrel/platform/dynamic_functions.h"

namespace vantrel::platform {

Library& User32Library() noexcept {
  static Library user32(L"user32.dll");
  return user32;
}

const User32Optional& OptionalUser32() noexcept {
  static const User32Optional functions = [] {
    Library& user32 = User32Library();
    return User32Optional{
        FindFunction<decltype(::GetDpiForWindow)>(user32, "GetDpiForWindow"),
        FindFunction<decltype(::GetDpiForSystem)>(user32, "GetDpiForSystem"),
        FindFunction<decltype(::AdjustWindowRectExForDpi)>(user32, "AdjustWindowRectExForDpi"),
        FindFunction<decltype(::GetDisplayConfigBufferSizes)>(user32,
                                                              "GetDisplayConfigBufferSizes"),
        FindFunction<decltype(::QueryDisplayConfig)>(user32, "QueryDisplayConfig"),
        FindFunction<decltype(::DisplayConfigGetDeviceInfo)>(user32, "DisplayConfigGetDeviceInfo"),
        FindFunction<decltype(::SetThreadDpiAwarenessContext)>(user32,
                                                               "SetThreadDpiAwarenessContext"),
    };
  }();
  return functions;
}

const ShcoreOptional& OptionalShcore() noexcept {
  static Library shcore(L"shcore.dll");
  static const ShcoreOptional functions{
      FindFunction<decltype(::GetDpiForMonitor)>(shcore, "GetDpiForMonitor"),
  };
  return functions;
}

const DwmapiOptional& OptionalDwmapi() noexcept {
  static Library dwmapi(L"dwmapi.dll");
  static const DwmapiOptional functions{
      FindFunction<decltype(::DwmGetWindowAttribute)>(dwmapi, "DwmGetWindowAttribute"),
  };
  return functions;
}

}  // namespace vantrel::platform

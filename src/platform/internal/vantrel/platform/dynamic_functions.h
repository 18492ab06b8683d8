// Every function the library loads by name, per DLL in one list: user32's
// seven display calls are bound on their first call (user32_display_service.cpp);
// the optional ones below are looked up once, the first time a table is
// asked for, from any thread. An optional member is null where the system
// lacks the function (Windows before 10, before 8.1 for shcore, a system
// without dwmapi), and every caller checks it.
#pragma once

#include <dwmapi.h>
#include <shellscalingapi.h>
#include <windows.h>

#include "vantrel/base/late_binding.h"

namespace vantrel::platform {

// user32, shared by the required and the optional functions: one module
// handle for every function bound by name from it.
Library& User32Library() noexcept;

struct User32Optional {
  decltype(::GetDpiForWindow)* GetDpiForWindow;
  decltype(::GetDpiForSystem)* GetDpiForSystem;
  decltype(::AdjustWindowRectExForDpi)* AdjustWindowRectExForDpi;
  decltype(::GetDisplayConfigBufferSizes)* GetDisplayConfigBufferSizes;
  decltype(::QueryDisplayConfig)* QueryDisplayConfig;
  decltype(::DisplayConfigGetDeviceInfo)* DisplayConfigGetDeviceInfo;
  decltype(::SetThreadDpiAwarenessContext)* SetThreadDpiAwarenessContext;
};
const User32Optional& OptionalUser32() noexcept;

struct ShcoreOptional {
  decltype(::GetDpiForMonitor)* GetDpiForMonitor;
};
const ShcoreOptional& OptionalShcore() noexcept;

// Without a compositor (Wine, Windows before Vista) nothing is cloaked.
struct DwmapiOptional {
  decltype(::DwmGetWindowAttribute)* DwmGetWindowAttribute;
};
const DwmapiOptional& OptionalDwmapi() noexcept;

}  // namespace vantrel::platform

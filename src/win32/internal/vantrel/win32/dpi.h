// The DPI helpers the report window lays itself out with.
#pragma once

#include <windows.h>

namespace vantrel::ui {

// The system's DPI; from the screen's device context where the platform
// cannot say (before Windows 10).
UINT SystemDpi(int axis = LOGPIXELSX) noexcept;

// The DPI the window is shown at; the system's where the platform cannot say
// per window.
UINT WindowDpi(HWND hwnd) noexcept;

// The outer size of a window with that client size, style and DPI.
SIZE OuterSize(int client_width, int client_height, DWORD style, DWORD ex_style, UINT dpi) noexcept;

}  // namespace vantrel::ui

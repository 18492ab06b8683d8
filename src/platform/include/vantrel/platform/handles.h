/// @file
/// Windows' window and monitor handles, declared as windows.h declares them
/// (HWND is `HWND__*`, HMONITOR is `HMONITOR__*`), so that the public headers take
/// and give the very handle types without bringing windows.h into every file
/// that includes them.
#pragma once

struct HWND__;
struct HMONITOR__;

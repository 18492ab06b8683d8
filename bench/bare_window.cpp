// The floor for start-up: a bare Win32 window with a text box holding one
// line, built like Vantrel.exe but asking the display service nothing.
// Built with BARE_WINDOW_PARTS, it also has what Vantrel's window cannot do
// without, in plain Win32: the icon, an Exit button holding the focus,
// Tahoma checked and set in the text box, and the display calls per adapter.
// Built with VANTREL_STARTUP_MARKS, it marks the stages Vantrel_marks marks,
// where it has them, and ends once it has painted.
#include <windows.h>

#include <cstring>

#include "startup_marks.h"

namespace {
LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

#ifdef BARE_WINDOW_PARTS
void AskTheDisplayService() {
  DISPLAY_DEVICEA adapter{};
  adapter.cb = sizeof adapter;
  for (DWORD i = 0; EnumDisplayDevicesA(nullptr, i, &adapter, 0); ++i) {
    if (!(adapter.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP)) continue;
    char name[sizeof adapter.DeviceName + 1] = {};
    std::memcpy(name, adapter.DeviceName, sizeof adapter.DeviceName);
    DISPLAY_DEVICEA monitor{};
    monitor.cb = sizeof monitor;
    EnumDisplayDevicesA(name, 0, &monitor, EDD_GET_DEVICE_INTERFACE_NAME);
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(name, ENUM_CURRENT_SETTINGS, &mode);
    MONITORINFOEXA info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(
        MonitorFromPoint({mode.dmPosition.x, mode.dmPosition.y}, MONITOR_DEFAULTTONEAREST), &info);
  }
}
#endif
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  using report::StartupMark;
  StartupMark("entry");
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"BareWindow";
#ifdef BARE_WINDOW_PARTS
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
#endif
  RegisterClassW(&wc);
  StartupMark("class");
  HWND hwnd = CreateWindowExW(0, L"BareWindow", L"Bare", WS_OVERLAPPEDWINDOW, 465, 170, 709, 464,
                              nullptr, nullptr, instance, nullptr);
#ifdef BARE_WINDOW_PARTS
  HWND exit = CreateWindowExW(0, L"BUTTON", L"Exit", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 300, 376,
                              81, 33, hwnd, nullptr, instance, nullptr);
#endif
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE,
                              16, 16, 657, 345, hwnd, nullptr, instance, nullptr);
  StartupMark("controls");
#ifdef BARE_WINDOW_PARTS
  LOGFONTW lf{};
  lf.lfHeight = -13;
  lf.lfCharSet = ANSI_CHARSET;
  wcscpy(lf.lfFaceName, L"Tahoma");
  HFONT font = CreateFontIndirectW(&lf);
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  StartupMark("fonts");
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  StartupMark("window");
  AskTheDisplayService();
#endif
  SetWindowTextW(edit, L"Bare: (0,0) - (1024,768)\r\n");
  StartupMark("report");
  ShowWindow(hwnd, show);
#ifdef BARE_WINDOW_PARTS
  SetFocus(exit);
#endif
  StartupMark("shown");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

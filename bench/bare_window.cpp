// The floor for start-up: a bare Win32 window with a text box holding one
// line, built like Vantrel.exe but asking the display service nothing.
#include <windows.h>

namespace {
LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"BareWindow";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, L"BareWindow", L"Bare", WS_OVERLAPPEDWINDOW, 465, 170, 709, 464,
                              nullptr, nullptr, instance, nullptr);
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE,
                              16, 16, 657, 345, hwnd, nullptr, instance, nullptr);
  SetWindowTextW(edit, L"Bare: (0,0) - (1024,768)\r\n");
  ShowWindow(hwnd, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

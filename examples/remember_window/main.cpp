// A window that comes back where it was: its place is read from a file when
// it starts and written there when it closes.
//   remember_window [--file PATH] [--move L,T,R,B] [--maximize] [--close]
// The file is remember_window.txt in the current folder unless PATH is given.
// It prints its rectangle, as GetWindowRect gives it, once it is put back
// and again 300 ms after it first shows:
//   placed: L,T,R,B zoomed=0|1 dpi=N
//   shown: L,T,R,B zoomed=0|1 dpi=N
// then does what the options say, in their order, a step every 300 ms (time
// for the system to settle each), prints "window: ..." likewise, and with
// --close closes as a user would. It prints each placement it read or wrote
// ("restored: ...", "saved: ...").
#include <vantrel/vantrel.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <string>

namespace {

std::string file = "remember_window.txt";
std::deque<std::function<void(HWND)>> steps;
bool close_when_done = false;
bool reported_shown = false;

void Print(const char* format, auto... values) {
  std::printf(format, values...);
  std::fflush(stdout);
}

void Report(HWND hwnd, const char* what) {
  RECT rc{};
  GetWindowRect(hwnd, &rc);
  const auto dpi = reinterpret_cast<UINT(WINAPI*)(HWND)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  Print("%s: %ld,%ld,%ld,%ld zoomed=%d dpi=%u\n", what, rc.left, rc.top, rc.right, rc.bottom,
        IsZoomed(hwnd) ? 1 : 0, dpi ? dpi(hwnd) : 96u);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (!reported_shown) {
        reported_shown = true;
        Report(hwnd, "shown");
        return 0;
      }
      if (!steps.empty()) {
        steps.front()(hwnd);
        steps.pop_front();
        return 0;
      }
      KillTimer(hwnd, 1);
      Report(hwnd, "window");
      if (close_when_done) PostMessageW(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_DPICHANGED: {
      // Per-monitor aware: take the size the system suggests for the new scale.
      const RECT* r = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE: {
      if (const auto place = vantrel::SavePlacement(hwnd)) {
        const std::string text = vantrel::ToText(*place);
        std::ofstream(file, std::ios::binary) << text << '\n';
        Print("saved: %s\n", text.c_str());
      }
      DestroyWindow(hwnd);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

// Physical pixels, as the saved places are: per-monitor aware where the
// system knows of it (a manifest would say the same).
void BePerMonitorAware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (set) set(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4)));  // PER_MONITOR_AWARE_V2
}

}  // namespace

int main(int argc, char** argv) {
  for (int k = 1; k < argc; ++k) {
    RECT r{};
    if (!std::strcmp(argv[k], "--file") && k + 1 < argc) {
      file = argv[++k];
    } else if (!std::strcmp(argv[k], "--move") && k + 1 < argc &&
               std::sscanf(argv[++k], "%ld,%ld,%ld,%ld", &r.left, &r.top, &r.right, &r.bottom) ==
                   4) {
      steps.push_back([r](HWND hwnd) {
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      });
    } else if (!std::strcmp(argv[k], "--maximize")) {
      steps.push_back([](HWND hwnd) { ShowWindow(hwnd, SW_MAXIMIZE); });
    } else if (!std::strcmp(argv[k], "--close")) {
      close_when_done = true;
    } else {
      std::fprintf(
          stderr, "usage: remember_window [--file PATH] [--move L,T,R,B] [--maximize] [--close]\n");
      return 2;
    }
  }
  BePerMonitorAware();

  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW, as wide text
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"remember_window";
  const HWND hwnd = RegisterClassW(&wc)
                        ? CreateWindowExW(0, wc.lpszClassName, L"remember_window",
                                          WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                                          300, nullptr, nullptr, wc.hInstance, nullptr)
                        : nullptr;
  if (!hwnd) {
    std::fprintf(stderr, "remember_window: cannot create the window (%lu)\n", GetLastError());
    return 1;
  }

  // Put back before the window first shows, so it never shows anywhere else.
  std::string line;
  std::getline(std::ifstream(file, std::ios::binary), line);
  if (const auto saved = vantrel::PlacementFromText(line)) {
    if (const auto restored = vantrel::RestorePlacement(hwnd, *saved); !restored) {
      std::fprintf(stderr, "remember_window: %s\n", restored.error().message.c_str());
    }
    Print("restored: %s\n", line.c_str());
    Report(hwnd, "placed");
  } else {
    ShowWindow(hwnd, SW_SHOWDEFAULT);
    Print("restored: nothing\n");
  }
  SetTimer(hwnd, 1, 300, nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

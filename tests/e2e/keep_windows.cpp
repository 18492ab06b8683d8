// Top-level windows of a program other than the keeper, placed and moved on
// request, for the end-to-end test of the desktop's memory:
//   keep_windows NAME=L,T,R,B...    one window a NAME, shown normal there
// It prints "ready", then reads commands on stdin, one a line, and ends each
// answer with a line "ok" (or "error ..."):
//   move NAME L,T,R,B    SetWindowPos; a minimized window's normal place
//                        instead, as the system moves it, still minimized
//   maximize NAME        ShowWindow(SW_MAXIMIZE)
//   minimize NAME        ShowWindow(SW_SHOWMINNOACTIVE); from then on it
//                        watches whether the window is ever shown again
//   report               one JSON line a window
//   quit
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kCommand = WM_APP + 1;

struct Tracked {
  std::string name;
  HWND window = nullptr;
  RECT last{};
  // How often its rectangle changed, by whoever moved it.
  std::atomic<int> changes{0};
  // Minimized on request; whether it was restored or activated since.
  std::atomic<bool> watched{false};
  std::atomic<bool> shown{false};
};

std::vector<Tracked*> tracked;
std::atomic<bool> ending{false};

Tracked* Find(HWND window) {
  for (Tracked* t : tracked) {
    if (t->window == window) return t;
  }
  return nullptr;
}

Tracked* Find(const std::string& name) {
  for (Tracked* t : tracked) {
    if (t->name == name) return t;
  }
  return nullptr;
}

bool ParseRect(const char* text, RECT& r) {
  return std::sscanf(text, "%ld,%ld,%ld,%ld", &r.left, &r.top, &r.right, &r.bottom) == 4 &&
         r.right > r.left && r.bottom > r.top;
}

std::string Json(const RECT& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + "]";
}

void Say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

void Report() {
  for (Tracked* t : tracked) {
    RECT rect{};
    GetWindowRect(t->window, &rect);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(t->window, &wp);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(t->window, MONITOR_DEFAULTTONEAREST), &mi);
    Say("{\"name\":\"" + t->name + "\",\"handle\":" +
        std::to_string(reinterpret_cast<std::uintptr_t>(t->window)) + ",\"rect\":" + Json(rect) +
        ",\"normal\":" + Json(wp.rcNormalPosition) + ",\"monitor\":" + Json(mi.rcMonitor) +
        ",\"zoomed\":" + (IsZoomed(t->window) ? "true" : "false") + ",\"iconic\":" +
        (IsIconic(t->window) ? "true" : "false") + ",\"shown\":" + (t->shown ? "true" : "false") +
        ",\"changes\":" + std::to_string(t->changes) + "}");
  }
}

// On the windows' thread, so that every call is the owner's own.
std::string Carry(const std::string& line) {
  char verb[32] = {}, name[64] = {}, rect_text[128] = {};
  const int read = std::sscanf(line.c_str(), "%31s %63s %127s", verb, name, rect_text);
  const std::string command = read >= 1 ? verb : "";
  if (command == "report") {
    Report();
    return "ok";
  }
  if (command == "quit") {
    ending = true;
    PostQuitMessage(0);
    return "ok";
  }
  Tracked* t = read >= 2 ? Find(std::string(name)) : nullptr;
  if (!t) return "error: no window named in \"" + line + "\"";
  if (command == "maximize") {
    ShowWindow(t->window, SW_MAXIMIZE);
    return "ok";
  }
  if (command == "minimize") {
    ShowWindow(t->window, SW_SHOWMINNOACTIVE);
    if (!IsIconic(t->window)) return "error: not minimized";
    t->shown = false;
    t->watched = true;
    return "ok";
  }
  RECT r{};
  if (command == "move" && read == 3 && ParseRect(rect_text, r)) {
    if (IsIconic(t->window)) {
      WINDOWPLACEMENT wp{};
      wp.length = sizeof wp;
      GetWindowPlacement(t->window, &wp);
      wp.rcNormalPosition = r;  // no task bar here: workspace and screen agree
      wp.showCmd = SW_SHOWMINNOACTIVE;
      return SetWindowPlacement(t->window, &wp) ? "ok" : "error: SetWindowPlacement failed";
    }
    return SetWindowPos(t->window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                        SWP_NOZORDER | SWP_NOACTIVATE)
               ? "ok"
               : "error: SetWindowPos failed";
  }
  return "error: cannot read \"" + line + "\"";
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kCommand) {
    Say(Carry(*reinterpret_cast<const std::string*>(lparam)));
    return 0;
  }
  if (Tracked* t = Find(window)) {
    if (message == WM_WINDOWPOSCHANGED) {
      RECT now{};
      GetWindowRect(window, &now);
      if (!EqualRect(&now, &t->last)) {
        t->last = now;
        ++t->changes;
      }
    }
    // Shown again, or activated, after it was minimized.
    if (t->watched &&
        ((message == WM_SIZE && (wparam == SIZE_RESTORED || wparam == SIZE_MAXIMIZED)) ||
         (message == WM_ACTIVATE && LOWORD(wparam) != WA_INACTIVE) ||
         (message == WM_SHOWWINDOW && wparam))) {
      t->shown = true;
    }
  }
  if (message == WM_CLOSE) return 0;  // only quit ends them
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int main(int argc, char** argv) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"Vantrel.KeepWindows";
  if (!RegisterClassExW(&wc)) return 1;
  // Commands reach the windows' thread through a window no one else sees.
  const HWND control = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                       nullptr, wc.hInstance, nullptr);
  std::vector<Tracked> windows(static_cast<std::size_t>(argc > 1 ? argc - 1 : 0));
  for (int k = 1; k < argc; ++k) {
    const char* equals = std::strchr(argv[k], '=');
    RECT r{};
    if (!equals || !ParseRect(equals + 1, r)) {
      std::fprintf(stderr, "usage: keep_windows NAME=L,T,R,B...\n");
      return 2;
    }
    Tracked& t = windows[static_cast<std::size_t>(k - 1)];
    t.name.assign(argv[k], static_cast<std::size_t>(equals - argv[k]));
    const std::wstring title = L"keep_windows " + std::wstring(t.name.begin(), t.name.end());
    t.window = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, r.left,
                               r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                               wc.hInstance, nullptr);
    if (!t.window) return 1;
    GetWindowRect(t.window, &t.last);
    tracked.push_back(&t);
  }
  for (Tracked* t : tracked) ShowWindow(t->window, SW_SHOWNORMAL);
  // A minimized window restored, however briefly and by whatever means, is
  // seen here even where no message tells of it.
  std::thread watch([] {
    while (!ending) {
      for (Tracked* t : tracked) {
        if (t->watched && !IsIconic(t->window)) t->shown = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  std::thread reader([control] {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
      std::string line(buffer);
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
      if (line.empty()) continue;
      SendMessageW(control, kCommand, 0, reinterpret_cast<LPARAM>(&line));
      if (ending) return;
    }
    ending = true;
    PostMessageW(control, WM_NULL, 0, 0);
  });
  Say("ready");
  MSG msg;
  while (!ending && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  ending = true;
  watch.join();
  reader.detach();  // may wait on input that never comes
  return 0;
}

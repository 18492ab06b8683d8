// Drives Vantrel.exe as a user would and checks what it shows:
//   report_driver Vantrel.exe [--signal FILE --wait-for FILE] [--close] WxH+X+Y...
// The rectangles are the X server's outputs in output order, the first the
// primary; the expected report is worked out here from that layout alone.
// The program is ended with Exit, or with --close by closing its window.
// Prints what it found and exits 0 when every check holds.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "window_probe.h"

namespace {

using namespace std::chrono_literals;
using vantrel::probe::TextOf;

// What Wine's display driver calls every monitor.
constexpr wchar_t kMonitorName[] = L"Generic Non-PnP Monitor";

struct Screen {
  int left, top, width, height;
};

int passed = 0;
int failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  ++(ok ? passed : failures);
}

bool Parse(const wchar_t* text, Screen& s) {
  return swscanf(text, L"%dx%d+%d+%d", &s.width, &s.height, &s.left, &s.top) == 4;
}

// The report the layout must give: Windows puts the primary at (0, 0); each
// monitor, in adapter order, goes in front of the first one listed that lies
// strictly lower or strictly further right, else last.
std::wstring ExpectedReport(std::vector<Screen> outputs) {
  const Screen primary = outputs.front();
  std::vector<Screen> listed;
  for (Screen s : outputs) {
    s.left -= primary.left;
    s.top -= primary.top;
    auto at = listed.begin();
    while (at != listed.end() && !(at->top > s.top || at->left > s.left)) ++at;
    listed.insert(at, s);
  }
  std::wstring text;
  for (const Screen& s : listed) {
    text += kMonitorName;
    if (s.left == 0 && s.top == 0) text += L" (Primary Monitor)";
    text += L": (" + std::to_wstring(s.left) + L"," + std::to_wstring(s.top) + L") - (" +
            std::to_wstring(s.width) + L"," + std::to_wstring(s.height) + L")\r\n";
  }
  return text;
}

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w)
    s += c == L'\r'   ? std::string("\\r")
         : c == L'\n' ? std::string("\\n\n  ")
                      : std::string(1, static_cast<char>(c));
  return s;
}

HWND FocusOf(HWND hwnd) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Unbuffered, so that what was checked shows even if the driver is cut off.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 3) {
    std::fprintf(
        stderr,
        "usage: report_driver Vantrel.exe [--signal F --wait-for F] [--close] WxH+X+Y...\n");
    return 2;
  }
  std::wstring signal, wait_for;
  bool close = false;
  std::vector<Screen> outputs;
  for (int k = 2; k < argc; ++k) {
    const std::wstring arg = argv[k];
    Screen s{};
    if (arg == L"--signal" && k + 1 < argc) {
      signal = argv[++k];
    } else if (arg == L"--close") {
      close = true;
    } else if (arg == L"--wait-for" && k + 1 < argc) {
      wait_for = argv[++k];
    } else if (Parse(argv[k], s)) {
      outputs.push_back(s);
    } else {
      std::fprintf(stderr, "report_driver: cannot read %ls\n", argv[k]);
      return 2;
    }
  }
  if (outputs.empty()) return 2;

  vantrel::probe::Started app;
  if (!vantrel::probe::Start(argv[1], app)) {
    std::printf("FAIL cannot start %ls\n", argv[1]);
    return 1;
  }
  const HWND form = vantrel::probe::WaitForWindow(app, L"Orlavin", 30s);
  Check(form != nullptr, "a window captioned \"Orlavin\" shows");
  if (!form) return 1;
  const HWND edit = FindWindowExW(form, nullptr, L"Edit", nullptr);
  const HWND exit = FindWindowExW(form, nullptr, L"Button", L"Exit");
  Check(edit && exit, "it holds a text box and a button \"Exit\"");
  if (!edit || !exit) return 1;

  const std::wstring expected = ExpectedReport(outputs);
  const std::wstring report = TextOf(edit);
  std::printf("report:\n  %s\n", Narrow(report).c_str());
  Check(report == expected, "the report is, line by line:\n  " + Narrow(expected));

  // The focus is set once the window is up; give its message loop a moment.
  HWND focus = nullptr;
  for (int k = 0; k < 500 && (focus = FocusOf(form)) != exit; ++k)
    std::this_thread::sleep_for(10ms);
  Check(focus == exit, "Exit has the keyboard focus");
  Check(
      GetNextDlgTabItem(form, exit, FALSE) == edit && GetNextDlgTabItem(form, edit, FALSE) == exit,
      "Tab moves between Exit and the text box");

  const LONG edit_style = GetWindowLongW(edit, GWL_STYLE);
  Check((edit_style & ES_MULTILINE) && !(edit_style & (WS_HSCROLL | WS_VSCROLL | ES_READONLY)),
        "the text box is multi-line, editable, without scroll bars");
  const LONG exit_style = GetWindowLongW(exit, GWL_STYLE) & BS_TYPEMASK;
  Check(exit_style == BS_PUSHBUTTON, "Exit is a plain push button, not the default one");

  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT client{};
  GetClientRect(form, &client);
  Check(client.right == MulDiv(10395, dpi, 1440) && client.bottom == MulDiv(6375, dpi, 1440),
        "the client area is 10395 x 6375 twips (" + std::to_string(client.right) + " x " +
            std::to_string(client.bottom) + " px at " + std::to_string(dpi) + " dpi)");

  // Hand over for a screenshot, if asked, and wait until it is taken.
  if (!signal.empty()) {
    const HANDLE f =
        CreateFileW(signal.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  }
  for (int k = 0; !wait_for.empty() && k < 3000 &&
                  GetFileAttributesW(wait_for.c_str()) == INVALID_FILE_ATTRIBUTES;
       ++k)
    std::this_thread::sleep_for(10ms);

  // Closing the only window ends the program as Exit does.
  PostMessageW(close ? form : exit, close ? WM_CLOSE : BM_CLICK, 0, 0);
  const long code = vantrel::probe::WaitForExit(app, 10s);
  Check(code == 0, std::string(close ? "closing the window" : "Exit") +
                       " ends the program with code 0 (got " + std::to_string(code) + ")");
  if (code == -1) TerminateProcess(app.pi.hProcess, 1);

  std::printf("checks: %d passed, %d failed\n", passed, failures);
  return failures == 0 ? 0 : 1;
}

#include "window_probe.h"

#include <thread>
#include <vector>

namespace vantrel::probe {

bool Start(const std::wstring& exe, Started& out) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring command = L"\"" + exe + L"\"";
  return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &out.pi) != 0;
}

namespace {
struct Search {
  DWORD pid;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->pid || !IsWindowVisible(hwnd) || TextOf(hwnd) != s->caption) return TRUE;
  s->found = hwnd;
  return FALSE;
}
}  // namespace

HWND WaitForWindow(const Started& p, const wchar_t* caption, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  do {
    Search s{p.pi.dwProcessId, caption, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    if (WaitForSingleObject(p.pi.hProcess, 0) == WAIT_OBJECT_0) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  } while (std::chrono::steady_clock::now() < end);
  return nullptr;
}

std::wstring TextOf(HWND hwnd) {
  const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const auto copied =
      SendMessageW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

long WaitForExit(const Started& p, std::chrono::milliseconds timeout) {
  if (WaitForSingleObject(p.pi.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return -1;
  DWORD code = 0;
  GetExitCodeProcess(p.pi.hProcess, &code);
  return static_cast<long>(code);
}

}  // namespace vantrel::probe

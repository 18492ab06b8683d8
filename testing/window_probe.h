// Starting a Windows program and looking at its window from outside, as a
// user's tools would: by caption, through window messages only.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

namespace vantrel::probe {

// Owns the started process's handles.
struct Started {
  PROCESS_INFORMATION pi{};
  Started() = default;
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;
  ~Started() {
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
  }
};

// Starts `exe`; false when it cannot be started.
bool Start(const std::wstring& exe, Started& out);

// The process's visible top-level window with that caption, waiting up to
// `timeout` for it; null when none shows.
HWND WaitForWindow(const Started& p, const wchar_t* caption, std::chrono::milliseconds timeout);

// A window's whole text, read with WM_GETTEXT (works across processes).
std::wstring TextOf(HWND hwnd);

// Waits for the process to end; its exit code, or -1 when it did not end.
long WaitForExit(const Started& p, std::chrono::milliseconds timeout);

}  // namespace vantrel::probe

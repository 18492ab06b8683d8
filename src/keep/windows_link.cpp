#include "windows_link.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

namespace {

using keep_tool::KeeperLoop;

// Found by the other commands with FindWindowExW(HWND_MESSAGE, ...).
constexpr wchar_t kLinkClass[] = L"Vantrel.Keeper";
// Top-level, as message-only windows hear no WM_QUERYENDSESSION.
constexpr wchar_t kSessionClass[] = L"Vantrel.Keeper.Session";
constexpr wchar_t kClaim[] = L"Local\\Vantrel.keeper";

// vantrel.dll's vantrel_desktop_remember sends kRemember too.
enum Request : WPARAM { kRestore = 1, kForget = 2, kForgetAll = 3, kStop = 4, kRemember = 5 };

// A restore answers with its counts packed in the reply, the top bit below
// the sign set so that no answer (0) is told apart from "nothing moved".
constexpr std::uint64_t kAnswered = std::uint64_t{1} << 62;

UINT RequestMessage() {
  static const UINT message = RegisterWindowMessageW(L"Vantrel.Keeper.Request");
  return message;
}

// The keeper's, while Serve runs, on its thread.
KeeperLoop* serving = nullptr;
HWND link_window = nullptr;
// Set once the keeper has saved and ended: a closing console waits for it.
HANDLE finished = nullptr;

LRESULT Pack(const vantrel::RestoreReport& report) {
  const auto field = [](int value) {
    return static_cast<std::uint64_t>(std::clamp(value, 0, 0xFFFF));
  };
  return static_cast<LRESULT>(kAnswered | field(report.windows) | field(report.skipped) << 16 |
                              field(report.untouched) << 32);
}

void EndServing() {
  serving->End();
  SetEvent(finished);
  PostQuitMessage(0);
}

LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != RequestMessage() || !serving || serving->Ended()) {
    return DefWindowProcW(window, message, wparam, lparam);
  }
  switch (wparam) {
    case kRestore:
      return Pack(serving->Restore());
    case kForget:
    case kForgetAll:
      serving->Forget(wparam == kForgetAll);
      return 1;
    case kStop:
      EndServing();
      return 1;
    case kRemember:
      serving->RememberNow();
      return 1;
    default:
      return 0;
  }
}

LRESULT CALLBACK SessionProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (serving && !serving->Ended()) {
    // Windows that close from now on close for the log-off, not the user.
    if (message == WM_QUERYENDSESSION) {
      serving->Pause();
      return TRUE;
    }
    if (message == WM_ENDSESSION) {
      if (wparam) {
        EndServing();
      } else {
        serving->Resume();  // someone cancelled it
      }
      return 0;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// Ctrl+C, Ctrl+Break and the console closing end the keeper as stop does.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  PostMessageW(link_window, RequestMessage(), kStop, 0);
  // Windows ends the process when this returns from a close, and gives it
  // 5 s at most.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    WaitForSingleObject(finished, 4500);
  }
  return TRUE;
}

HWND MakeWindow(const wchar_t* class_name, WNDPROC proc, HWND parent, DWORD ex_style) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = class_name;
  RegisterClassExW(&wc);
  return CreateWindowExW(ex_style, class_name, L"vantrel-keep", WS_POPUP, 0, 0, 0, 0, parent,
                         nullptr, wc.hInstance, nullptr);
}

}  // namespace

WindowsLink::WindowsLink() { finished = CreateEventW(nullptr, TRUE, FALSE, nullptr); }

WindowsLink::~WindowsLink() {
  if (claim_) CloseHandle(claim_);
}

std::optional<DWORD_PTR> WindowsLink::Send(WPARAM request, UINT timeout_ms) {
  const HWND keeper = FindWindowExW(HWND_MESSAGE, nullptr, kLinkClass, nullptr);
  if (!keeper) return std::nullopt;
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(keeper, RequestMessage(), request, 0, SMTO_ABORTIFHUNG, timeout_ms,
                           &answer)) {
    return std::nullopt;
  }
  return answer;
}

bool WindowsLink::Running() {
  return FindWindowExW(HWND_MESSAGE, nullptr, kLinkClass, nullptr) != nullptr;
}

std::optional<vantrel::RestoreReport> WindowsLink::Restore() {
  // A layout put back takes its time: the system's test, the reset, the read back.
  const std::optional<DWORD_PTR> answer = Send(kRestore, 60000);
  if (!answer || !(*answer & kAnswered)) return std::nullopt;
  vantrel::RestoreReport report;
  report.windows = static_cast<int>(*answer & 0xFFFF);
  report.skipped = static_cast<int>(*answer >> 16 & 0xFFFF);
  report.untouched = static_cast<int>(*answer >> 32 & 0xFFFF);
  return report;
}

bool WindowsLink::Forget(bool all) {
  const std::optional<DWORD_PTR> answer = Send(all ? kForgetAll : kForget, 10000);
  return answer && *answer == 1;
}

bool WindowsLink::Stop() {
  const std::optional<DWORD_PTR> answer = Send(kStop, 10000);
  return answer && *answer == 1;
}

bool WindowsLink::Claim() {
  claim_ = CreateMutexW(nullptr, FALSE, kClaim);
  if (!claim_) return false;
  // A keeper that died leaves its claim abandoned: taken.
  const DWORD taken = WaitForSingleObject(claim_, 0);
  return taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED;
}

vantrel::Result<void> WindowsLink::Serve(KeeperLoop& loop) {
  link_window = MakeWindow(kLinkClass, LinkProc, HWND_MESSAGE, 0);
  const HWND session =
      link_window ? MakeWindow(kSessionClass, SessionProc, nullptr, WS_EX_TOOLWINDOW) : nullptr;
  if (!session) {
    const DWORD code = GetLastError();
    if (link_window) DestroyWindow(std::exchange(link_window, nullptr));
    return vantrel::Error{
        vantrel::ErrorCode::kSystem, code,
        "cannot hear requests: CreateWindowExW failed (system error " + std::to_string(code) + ")"};
  }
  serving = &loop;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  MSG msg;
  while (!loop.Ended() && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  DestroyWindow(session);
  DestroyWindow(std::exchange(link_window, nullptr));
  serving = nullptr;
  return {};
}

void WindowsLink::Finished() { SetEvent(finished); }

// The running system's events: a hidden top-level window, where Windows
// broadcasts a display change, and its one timer, on the thread it lives on;
// where asked, WinEvent hooks telling of other programs' windows.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/base/current_port.h"
#include "vantrel/base/handle_owners.h"
#include "vantrel/platform/event_source.h"

namespace vantrel::platform {

namespace {

constexpr UINT_PTR kTimer = 1;
// Posted or sent by Stop only; no broadcast uses the application range.
constexpr UINT kStopMessage = WM_APP + 0x5D1;
constexpr wchar_t kClassName[] = L"VantrelDisplayWatcher";

// A call that failed, with GetLastError's code; Listen tells it as its
// answer.
struct CallFailed {
  const char* call;
  DWORD error;
};

[[noreturn]] void Fail(const char* call) { throw CallFailed{call, GetLastError()}; }

// The module this code is linked into (a program or a DLL), which owns the
// window class.
HINSTANCE ThisModule() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

// The window class, registered while any listener's window lives, so that a
// DLL holding this code leaves no class behind when it is unloaded.
class ClassUse {
 public:
  explicit ClassUse(WNDPROC proc) {
    std::lock_guard lock(mutex_);
    if (users_ == 0) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = proc;
      wc.hInstance = ThisModule();
      wc.lpszClassName = kClassName;
      if (!RegisterClassExW(&wc)) Fail("RegisterClassExW");
    }
    ++users_;
  }
  ClassUse(const ClassUse&) = delete;
  ClassUse& operator=(const ClassUse&) = delete;
  ~ClassUse() {
    std::lock_guard lock(mutex_);
    if (--users_ == 0) UnregisterClassW(kClassName, ThisModule());
  }

 private:
  static inline std::mutex mutex_;
  static inline int users_ = 0;
};

// SetTimer's milliseconds, within what it takes.
UINT TimerMilliseconds(std::chrono::milliseconds wait) noexcept {
  return static_cast<UINT>(
      std::clamp<std::chrono::milliseconds::rep>(wait.count(), 0, USER_TIMER_MAXIMUM));
}

// Hidden and top-level: a message-only window hears no broadcast.
HWND MakeWindow() {
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0,
                                0, 0, 0, nullptr, nullptr, ThisModule(), nullptr);
  if (!window) Fail("CreateWindowExW");
  return window;
}

// Every message after which the layout may have changed. WM_DPICHANGED
// reaches only windows on a display whose scale changed; the settings
// broadcasts reach every top-level window.
bool MayHaveChanged(UINT message, WPARAM wparam) noexcept {
  switch (message) {
    case WM_DISPLAYCHANGE:
    case WM_DPICHANGED:
      return true;
    case WM_SETTINGCHANGE:
      return wparam == SPI_SETWORKAREA || wparam == SPI_SETLOGICALDPIOVERRIDE;
    default:
      return false;
  }
}

class WindowListener final : public EventListener {
 public:
  WindowListener(EventThread thread, EventHandler& handler) : thread_(thread), handler_(handler) {}
  WindowListener(const WindowListener&) = delete;
  WindowListener& operator=(const WindowListener&) = delete;
  ~WindowListener() override { Stop(); }

  // kCallerThread: the window on the calling thread, whose loop runs it.
  void OpenHere() {
    class_use_.emplace(&Proc);
    caller_window_ = UniqueWindow(MakeWindow());
    window_ = caller_window_.get();
    window_thread_id_ = GetCurrentThreadId();
    Attach();
  }
  void StartThread();

  void SetTimer(std::chrono::milliseconds after) override {
    ::SetTimer(window_, kTimer, TimerMilliseconds(after), nullptr);
  }
  void KillTimer() override { ::KillTimer(window_, kTimer); }
  bool FollowWindows() override;
  void Stop() noexcept override;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<WindowListener*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wparam, lparam);
    return self->Handle(window, message, wparam, lparam);
  }
  // The handler hears the window from once it is set up; messages that came
  // meanwhile wait in the queue.
  void Attach() {
    handler_.OnListening();
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  // Its own ending is no event to tell.
  static void Detach(HWND window) noexcept { SetWindowLongPtrW(window, GWLP_USERDATA, 0); }
  LRESULT Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void RunThread(std::promise<void>& ready);
  static void CALLBACK WinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                DWORD, DWORD);
  // On the thread that hooked, which its hooks' events reach.
  void Unfollow() noexcept;

  // The listener whose hooks this thread runs: the hooks' callback has no
  // argument of its own to carry it.
  static inline thread_local WindowListener* following_ = nullptr;
  std::vector<HWINEVENTHOOK> hooks_;

  const EventThread thread_;
  EventHandler& handler_;
  std::mutex stop_mutex_;  // Stop from two threads at once ends the thread once
  HWND window_ = nullptr;  // while it lives

  // kOwnThread
  HANDLE thread_handle_ = nullptr;
  DWORD thread_id_ = 0;
  // kCallerThread; the class before the window, so that it goes after it
  std::optional<ClassUse> class_use_;
  UniqueWindow caller_window_;  // ended on its own thread
  DWORD window_thread_id_ = 0;
};

LRESULT WindowListener::Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kStopMessage) {
    Detach(window);
    if (thread_ == EventThread::kOwnThread) {
      PostQuitMessage(0);
    } else {
      Unfollow();
      caller_window_.reset();
    }
    return 0;
  }
  EventKind kind = EventKind::kOther;
  if (MayHaveChanged(message, wparam)) kind = EventKind::kDisplaysMayHaveChanged;
  if (message == WM_TIMER && wparam == kTimer) {
    ::KillTimer(window, kTimer);  // once: the handler sets it again if it wants more
    kind = EventKind::kTimer;
  }
  handler_.OnEvent({kind, std::chrono::steady_clock::now()}, *this);
  switch (message) {
    case WM_DISPLAYCHANGE:
    case WM_DPICHANGED:  // the window is never shown: no size to take
    case WM_CLOSE:       // only Stop ends the window
      return 0;
    case WM_TIMER:
      if (wparam == kTimer) return 0;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

bool WindowListener::FollowWindows() {
  if (!hooks_.empty()) return true;
  // Out of context and not this process's: the events come through this
  // thread's message loop, and never for the listener's own window.
  const std::pair<DWORD, DWORD> kRanges[] = {
      {EVENT_SYSTEM_MOVESIZEEND, EVENT_SYSTEM_MOVESIZEEND},
      {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
      {EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW},
      {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE},
  };
  for (const auto& [first, last] : kRanges) {
    if (HWINEVENTHOOK hook = SetWinEventHook(first, last, nullptr, &WinEvent, 0, 0,
                                             WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS)) {
      hooks_.push_back(hook);
    }
  }
  if (hooks_.empty()) return false;
  following_ = this;
  return true;
}

void CALLBACK WindowListener::WinEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child,
                                       DWORD, DWORD) {
  // A top-level window itself: not its caret, cursor or a control in it.
  if (!following_ || !window || object != OBJID_WINDOW || child != CHILDID_SELF ||
      GetAncestor(window, GA_ROOT) != window) {
    return;
  }
  following_->handler_.OnEvent(
      {EventKind::kWindowsMayHaveChanged, std::chrono::steady_clock::now()}, *following_);
}

void WindowListener::Unfollow() noexcept {
  for (HWINEVENTHOOK hook : hooks_) UnhookWinEvent(hook);
  hooks_.clear();
  if (following_ == this) following_ = nullptr;
}

void WindowListener::RunThread(std::promise<void>& ready) {
  std::optional<ClassUse> use;
  UniqueWindow own;
  try {
    handler_.OnOwnThread();
    use.emplace(&Proc);
    own = UniqueWindow(MakeWindow());
    window_ = own.get();
    thread_id_ = GetCurrentThreadId();
    Attach();
  } catch (...) {
    ready.set_exception(std::current_exception());
    return;
  }
  ready.set_value();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  Unfollow();
  Detach(own.get());
  // `own`, then `use`, end here on this thread.
}

void WindowListener::StartThread() {
  // A thread of the system's own, so that a failure to start one is
  // GetLastError's code. The thread owns the promise, which it may still be
  // setting when this has returned.
  struct Start {
    WindowListener& listener;
    std::promise<void> ready;
    static DWORD WINAPI Run(void* start) {
      const std::unique_ptr<Start> self(static_cast<Start*>(start));
      self->listener.RunThread(self->ready);
      return 0;
    }
  };
  auto start = std::make_unique<Start>(Start{*this, {}});
  std::future<void> made = start->ready.get_future();
  thread_handle_ = CreateThread(nullptr, 0, &Start::Run, start.get(), 0, nullptr);
  if (!thread_handle_) Fail("CreateThread");
  (void)start.release();
  try {
    made.get();
  } catch (...) {
    WaitForSingleObject(thread_handle_, INFINITE);
    CloseHandle(std::exchange(thread_handle_, nullptr));
    throw;
  }
}

void WindowListener::Stop() noexcept {
  const std::lock_guard stop_lock(stop_mutex_);
  if (thread_handle_) {
    // Through the window, so that a modal loop in the handler ends too; a
    // full queue only delays the message.
    while (!PostMessageW(window_, kStopMessage, 0, 0)) {
      if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA) {
        PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
        break;
      }
      Sleep(1);
    }
    WaitForSingleObject(thread_handle_, INFINITE);
    CloseHandle(std::exchange(thread_handle_, nullptr));
  } else if (caller_window_) {
    if (GetCurrentThreadId() == window_thread_id_) {
      Unfollow();
      Detach(caller_window_.get());
      caller_window_.reset();
    } else {
      SendMessageW(caller_window_.get(), kStopMessage, 0, 0);
    }
  }
  class_use_.reset();
}

class WindowSource final : public EventSource {
 public:
  Listening Listen(EventThread thread, EventHandler& handler) override {
    auto listener = std::make_unique<WindowListener>(thread, handler);
    try {
      if (thread == EventThread::kCallerThread) {
        listener->OpenHere();
      } else {
        listener->StartThread();
      }
    } catch (const CallFailed& failed) {
      char text[96];
      std::snprintf(text, sizeof text, "%s failed (system error %lu)", failed.call, failed.error);
      return {nullptr, failed.error, text};
    }
    return {std::move(listener), 0, {}};
  }
};

}  // namespace

EventSource& WindowEvents() noexcept {
  static WindowSource source;
  return source;
}

template <>
EventSource& RunningPort<EventSource>() noexcept {
  return WindowEvents();
}

}  // namespace vantrel::platform

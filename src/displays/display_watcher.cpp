// The watcher's window: where Windows broadcasts a display change, and the
// timer that paces the settling reads.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <future>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <utility>

#include "vantrel/base/handle_owners.h"
#include "vantrel/displays/display_read.h"
#include "vantrel/displays/display_settle.h"
#include "vantrel/displays/watcher.h"
#include "vantrel/platform/system.h"

namespace vantrel {

namespace {

constexpr UINT_PTR kSettleTimer = 1;
// Posted or sent by Stop only; no broadcast uses the application range.
constexpr UINT kStopMessage = WM_APP + 0x5D1;
constexpr wchar_t kClassName[] = L"VantrelDisplayWatcher";

// A call that failed, named with GetLastError's code.
[[noreturn]] void Fail(const char* call) {
  const DWORD error = GetLastError();
  char text[96];
  std::snprintf(text, sizeof text, "%s failed (system error %lu)", call, error);
  throw Exception(Error{ErrorCode::kSystem, error, text});
}

// The module this code is linked into (a program or a DLL), which owns the
// window class.
HINSTANCE ThisModule() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

// The window class, registered while any watcher's window lives, so that a
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

}  // namespace

struct DisplayWatcher::State {
  State(platform::System& f, Callback c, Options o)
      : facts(f), callback(std::move(c)), options(o) {}

  // The window's thread: the constructor's, or `thread`.
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Listen(HWND window);
  LRESULT Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Apply(HWND window, DisplaySettler::Step step);
  void Deliver(const DisplayChanges& changes) noexcept { callback(changes); }
  void RunThread(std::promise<void>& ready);
  DisplaysRead Read() { return ReadDisplays(facts, {.modes = false}); }

  platform::System& facts;
  const Callback callback;
  const Options options;

  std::atomic<std::uint64_t> wakeups{0};
  std::atomic<bool> stopping{false};
  std::mutex stop_mutex;  // Stop from two threads at once ends the thread once
  mutable std::mutex mutex;
  Displays current;  // under `mutex`: what Current() answers

  // The window's thread only.
  std::optional<DisplaySettler> settler;

  // Made and ended by the constructor and Stop.
  HANDLE thread = nullptr;
  HWND thread_window = nullptr;  // the own thread's window, while it runs
  DWORD thread_id = 0;
  std::optional<ClassUse> class_use;  // kCallerThread; before `caller_window`, so it goes after it
  UniqueWindow caller_window;         // kCallerThread; ended on its own thread
  DWORD window_thread_id = 0;
};

LRESULT CALLBACK DisplayWatcher::State::Proc(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!state) return DefWindowProcW(window, message, wparam, lparam);
  return state->Handle(window, message, wparam, lparam);
}

// The first snapshot is read once the window exists, so no change falls
// between the two; the window answers only once the settler is there.
void DisplayWatcher::State::Listen(HWND listener) {
  DisplaysRead first = ReadDisplays(facts, options.snapshot);
  current = first.displays;
  // The settling reads go without modes; those told have them when asked.
  DisplaySettler::ModesReader modes;
  if (options.snapshot.modes) modes = [this](const Displays& d) { return ReadModes(facts, d); };
  settler.emplace(
      std::move(first), [this] { return Read(); },
      SettleTiming{options.quiet, options.settle_interval, options.max_reads}, std::move(modes));
  SetWindowLongPtrW(listener, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT DisplayWatcher::State::Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  wakeups.fetch_add(1, std::memory_order_relaxed);
  const auto now = DisplaySettler::Clock::now();
  if (MayHaveChanged(message, wparam)) Apply(window, settler->OnMessage(now));
  switch (message) {
    case WM_DISPLAYCHANGE:
    case WM_DPICHANGED:  // the window is never shown: no size to take
      return 0;
    case WM_TIMER:
      if (wparam != kSettleTimer) break;
      try {
        Apply(window, settler->OnTimer(now));
      } catch (const std::bad_alloc&) {
        // The read failed; the settler is as it was, so try again later.
        SetTimer(window, kSettleTimer, TimerMilliseconds(options.settle_interval), nullptr);
      }
      return 0;
    case WM_CLOSE:
      return 0;  // only Stop ends the window
    case kStopMessage:
      if (options.thread == Options::Thread::kOwnThread) {
        PostQuitMessage(0);
      } else {
        caller_window.reset();
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void DisplayWatcher::State::Apply(HWND window, DisplaySettler::Step step) {
  if (step.timer) {
    SetTimer(window, kSettleTimer, TimerMilliseconds(*step.timer), nullptr);
  } else {
    KillTimer(window, kSettleTimer);
  }
  if (!step.settled) return;
  if (step.changes && !stopping.load()) Deliver(*step.changes);
  // Only now: a program that printed Current() while the callback ran must
  // not find the change in it as well.
  std::lock_guard lock(mutex);
  current = settler->Current();
}

void DisplayWatcher::State::RunThread(std::promise<void>& ready) {
  // The thread is the watcher's: it stays per-monitor aware to its end, and
  // its window takes that awareness from it.
  facts.EnterPerMonitorAware();
  std::optional<ClassUse> use;
  UniqueWindow own;
  try {
    use.emplace(&Proc);
    own = UniqueWindow(MakeWindow());
    Listen(own.get());
    thread_window = own.get();
    thread_id = GetCurrentThreadId();
  } catch (...) {
    ready.set_exception(std::current_exception());
    return;
  }
  ready.set_value();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  // `own`, then `use`, end here on this thread.
}

DisplayWatcher::DisplayWatcher(Callback callback)
    : DisplayWatcher(std::move(callback), Options{}) {}

DisplayWatcher::DisplayWatcher(Callback callback, Options options)
    : DisplayWatcher(platform::CurrentSystem(), std::move(callback), options) {}

DisplayWatcher::DisplayWatcher(platform::System& facts, Callback callback, Options options)
    : state_(std::make_unique<State>(facts, std::move(callback), options)) {
  State& s = *state_;
  if (options.thread == Options::Thread::kCallerThread) {
    s.class_use.emplace(&State::Proc);
    s.caller_window = UniqueWindow(MakeWindow());
    s.window_thread_id = GetCurrentThreadId();
    s.Listen(s.caller_window.get());
    return;
  }
  // A thread of the system's own, so that a failure to start one is
  // GetLastError's code. The thread owns the promise, which it may still be
  // setting when this constructor has returned.
  struct Start {
    State& state;
    std::promise<void> ready;
    static DWORD WINAPI Run(void* start) {
      const std::unique_ptr<Start> self(static_cast<Start*>(start));
      self->state.RunThread(self->ready);
      return 0;
    }
  };
  auto start = std::make_unique<Start>(Start{s, {}});
  std::future<void> made = start->ready.get_future();
  s.thread = CreateThread(nullptr, 0, &Start::Run, start.get(), 0, nullptr);
  if (!s.thread) Fail("CreateThread");
  (void)start.release();
  try {
    made.get();
  } catch (...) {
    WaitForSingleObject(s.thread, INFINITE);
    CloseHandle(std::exchange(s.thread, nullptr));
    throw;
  }
}

DisplayWatcher::~DisplayWatcher() { Stop(); }

void DisplayWatcher::Stop() noexcept {
  State& s = *state_;
  const std::lock_guard stop_lock(s.stop_mutex);
  s.stopping.store(true);
  if (s.thread) {
    // Through the window, so that a modal loop in the callback ends too; a
    // full queue only delays the message.
    while (!PostMessageW(s.thread_window, kStopMessage, 0, 0)) {
      if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA) {
        PostThreadMessageW(s.thread_id, WM_QUIT, 0, 0);
        break;
      }
      Sleep(1);
    }
    WaitForSingleObject(s.thread, INFINITE);
    CloseHandle(std::exchange(s.thread, nullptr));
  } else if (s.caller_window) {
    if (GetCurrentThreadId() == s.window_thread_id) {
      s.caller_window.reset();
    } else {
      SendMessageW(s.caller_window.get(), kStopMessage, 0, 0);
    }
  }
  s.class_use.reset();
}

Displays DisplayWatcher::Current() const {
  std::lock_guard lock(state_->mutex);
  return state_->current;
}

std::uint64_t DisplayWatcher::Wakeups() const noexcept {
  return state_->wakeups.load(std::memory_order_relaxed);
}

}  // namespace vantrel

// The C interface's calls that need the running Windows system: the system
// itself, centring a window, saving and restoring its place, and the watcher
// on a thread of its own.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <future>
#include <optional>
#include <system_error>
#include <thread>

#include "calls.h"
#include "vantrel/capi/system.h"
#include "vantrel/displays/json.h"
#include "vantrel/displays/watcher.h"
#include "vantrel/platform/dynamic_functions.h"

namespace vantrel::capi {

namespace {

class RunningWindows final : public System {
 public:
  platform::DisplayFactsService& Facts() noexcept override {
    return platform::User32DisplayFacts();
  }
  // Per-monitor v2 where the system has it (Windows 10 1703 on), else the
  // first per-monitor awareness (1607); before 1607 there is no thread
  // awareness to set.
  void* EnterPerMonitorAware() noexcept override {
    const auto set = platform::OptionalUser32().SetThreadDpiAwarenessContext;
    if (!set) return nullptr;
    if (void* previous = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) return previous;
    return set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  }
  void RestoreAwareness(void* previous) noexcept override {
    const auto set = platform::OptionalUser32().SetThreadDpiAwarenessContext;
    if (set && previous) set(static_cast<DPI_AWARENESS_CONTEXT>(previous));
  }
};

}  // namespace

System* RunningSystem() noexcept {
  static RunningWindows system;
  return &system;
}

namespace {

// A DisplayWatcher on a thread of ours: the thread is made per-monitor aware
// before the watcher's window exists (a window keeps the awareness of the
// thread that made it, and Windows gives it that awareness at every message),
// so the watcher's snapshots are in physical pixels whatever the program's
// awareness.
class Watcher {
 public:
  Watcher(vantrel_watch_callback callback, void* context, DisplayWatcher::Options options)
      : callback_(callback), context_(context), options_(options) {}
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

  // Returns once the first snapshot is taken. Throws Failure when the window
  // cannot be made, std::system_error when the thread cannot be started.
  void Start(vantrel_watcher* handle) {
    handle_ = handle;
    std::promise<void> ready;
    std::future<void> made = ready.get_future();
    thread_ = std::thread([this, r = std::move(ready)]() mutable { Listen(std::move(r)); });
    try {
      made.get();
    } catch (...) {
      thread_.join();
      throw;
    }
  }

  bool OnOwnThread() const noexcept { return GetCurrentThreadId() == thread_id_.load(); }

  // Ends the thread; not from the thread itself.
  void Stop() noexcept {
    std::lock_guard lock(stop_mutex_);
    if (!thread_.joinable()) return;
    stopping_.store(true);
    // WM_QUIT ends a modal loop the callback may be in, then ours; a full
    // queue only delays it.
    while (!PostThreadMessageW(thread_id_.load(), WM_QUIT, 0, 0) &&
           GetLastError() == ERROR_NOT_ENOUGH_QUOTA) {
      Sleep(1);
    }
    thread_.join();
  }

  Displays Current() const { return watcher_->Current(); }

 private:
  void Listen(std::promise<void> ready) {
    // The thread is ours: it stays per-monitor aware to its end.
    if (System* system = CurrentSystem()) system->EnterPerMonitorAware();
    DisplayWatcher::Options options = options_;
    options.thread = DisplayWatcher::Options::Thread::kCallerThread;
    try {
      watcher_.emplace([this](const DisplayChanges& c) { Deliver(c); }, options);
    } catch (...) {
      ready.set_exception(std::current_exception());
      return;
    }
    thread_id_.store(GetCurrentThreadId());
    ready.set_value();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    watcher_->Stop();
  }

  void Deliver(const DisplayChanges& changes) noexcept {
    if (stopping_.load()) return;
    std::string line;
    try {
      line = json::ChangeLine(changes);
    } catch (const std::bad_alloc&) {
      return;  // no memory to tell it; vantrel_watcher_snapshot has the displays
    }
    if (!line.empty() && line.back() == '\n') line.pop_back();
    callback_(handle_, line.c_str(), context_);
  }

  const vantrel_watch_callback callback_;
  void* const context_;
  const DisplayWatcher::Options options_;
  vantrel_watcher* handle_ = nullptr;
  std::optional<DisplayWatcher> watcher_;  // made on the thread, before `ready`
  std::thread thread_;
  std::atomic<DWORD> thread_id_{0};
  std::atomic<bool> stopping_{false};
  std::mutex stop_mutex_;
};

vantrel_status FindWatcher(const vantrel_watcher* handle, std::shared_ptr<Watcher>& watcher) {
  if (!handle) return Null("watcher");
  watcher = std::static_pointer_cast<Watcher>(LiveHandles().Find(handle, Kind::kWatcher));
  if (watcher) return VANTREL_OK;
  return Error(VANTREL_ERROR_BAD_HANDLE, "the watcher %p was never given or is freed",
               static_cast<const void*>(handle));
}

vantrel_status InCallback() noexcept {
  return Error(VANTREL_ERROR_IN_CALLBACK,
               "called on the watcher's own thread, which cannot end itself");
}

// A window that is gone, or never was one, named by the system's error as
// the centring call names it; VANTREL_OK for a window there.
vantrel_status WindowGone(HWND window) noexcept {
  WINDOWPLACEMENT place{};
  place.length = sizeof place;
  if (GetWindowPlacement(window, &place)) return VANTREL_OK;
  return Error(VANTREL_ERROR_SYSTEM, "reading the window's place failed (system error %lu)",
               GetLastError());
}

std::chrono::milliseconds Or(std::uint32_t ms, std::chrono::milliseconds otherwise) {
  return ms ? std::chrono::milliseconds(ms) : otherwise;
}

}  // namespace

}  // namespace vantrel::capi

using namespace vantrel;
using namespace vantrel::capi;

extern "C" {

vantrel_status vantrel_centre_window(const vantrel_snapshot* snapshot, size_t index, void* window) {
  return Run(__func__, [&] {
    std::shared_ptr<const Snapshot> s;
    if (const vantrel_status status = FindSnapshot(snapshot, s)) return status;
    if (!window) return Null("window");
    if (index >= s->displays().size()) {
      return Error(VANTREL_ERROR_OUT_OF_RANGE, "display %llu of %llu",
                   static_cast<unsigned long long>(index),
                   static_cast<unsigned long long>(s->displays().size()));
    }
    const Rect& area = s->displays()[index].work_area;
    const HWND hwnd = static_cast<HWND>(window);
    const PerMonitorAware aware(*CurrentSystem());
    RECT r{};
    if (!GetWindowRect(hwnd, &r)) {
      return Error(VANTREL_ERROR_SYSTEM, "reading the window's rectangle failed (system error %lu)",
                   GetLastError());
    }
    // In 64 bits: a window or area at the 32-bit extremes must not overflow.
    const std::int64_t left =
        area.left + (std::int64_t{area.right} - area.left - (std::int64_t{r.right} - r.left)) / 2;
    const std::int64_t top =
        area.top + (std::int64_t{area.bottom} - area.top - (std::int64_t{r.bottom} - r.top)) / 2;
    if (left < INT32_MIN || left > INT32_MAX || top < INT32_MIN || top > INT32_MAX) {
      return Error(VANTREL_ERROR_INVALID_ARGUMENT, "the window does not fit the virtual screen");
    }
    if (!SetWindowPos(hwnd, nullptr, static_cast<int>(left), static_cast<int>(top), 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
      return Error(VANTREL_ERROR_SYSTEM, "moving the window failed (system error %lu)",
                   GetLastError());
    }
    return VANTREL_OK;
  });
}

vantrel_status vantrel_placement_save(void* window, char* buffer, size_t capacity, size_t* size) {
  return Run(__func__, [&] {
    if (!window) return Null("window");
    if (const vantrel_status status = CheckTextOut(buffer, capacity, size)) return status;
    const HWND hwnd = static_cast<HWND>(window);
    const PerMonitorAware aware(*CurrentSystem());
    const WindowPlacement saved = SavePlacement(hwnd);
    // Empty is what a window gone before or during the reading gives.
    if (saved == WindowPlacement{}) {
      if (const vantrel_status status = WindowGone(hwnd)) return status;
    }
    return GiveText(ToText(saved), "the place", buffer, capacity, size);
  });
}

vantrel_status vantrel_placement_restore(void* window, const char* text) {
  return Run(__func__, [&] {
    if (!window) return Null("window");
    WindowPlacement saved;
    if (const vantrel_status status = ReadPlacement(text, saved)) return status;
    const HWND hwnd = static_cast<HWND>(window);
    const PerMonitorAware aware(*CurrentSystem());
    if (RestorePlacement(hwnd, saved)) return VANTREL_OK;
    const DWORD error = GetLastError();
    if (const vantrel_status status = WindowGone(hwnd)) return status;
    return Error(VANTREL_ERROR_SYSTEM, "putting the window in its place failed (system error %lu)",
                 error);
  });
}

vantrel_status vantrel_window_ensure_visible(void* window, int32_t* moved) {
  return Run(__func__, [&] {
    if (!window) return Null("window");
    if (moved) *moved = 0;
    const HWND hwnd = static_cast<HWND>(window);
    const PerMonitorAware aware(*CurrentSystem());
    // False also for a window in view already: only a window that is gone
    // is an error.
    if (!EnsureVisible(hwnd)) return WindowGone(hwnd);
    if (moved) *moved = 1;
    return VANTREL_OK;
  });
}

vantrel_status vantrel_watcher_start(const vantrel_watcher_options* options,
                                     vantrel_watch_callback callback, void* context,
                                     vantrel_watcher** watcher) {
  return Run(__func__, [&] {
    if (!callback) return Null("callback");
    if (!watcher) return Null("watcher");
    *watcher = nullptr;
    if (options) {
      if (const vantrel_status s = CheckSize(options, "the options")) return s;
    }
    const vantrel_watcher_options o = ReadIn(options, vantrel_watcher_options{});
    DisplayWatcher::Options chosen;
    chosen.quiet = Or(o.quiet_ms, chosen.quiet);
    chosen.settle_interval = Or(o.settle_interval_ms, chosen.settle_interval);
    chosen.snapshot.modes = o.modes != 0;
    if (o.max_reads > 0)
      chosen.max_reads = static_cast<int>(std::min<std::uint32_t>(o.max_reads, INT_MAX));

    auto w = std::make_shared<Watcher>(callback, context, chosen);
    // In the table before the thread starts, so that the first callback can
    // use the handle.
    auto* handle = static_cast<vantrel_watcher*>(LiveHandles().Add(Kind::kWatcher, w));
    try {
      w->Start(handle);
    } catch (const Failure& f) {
      LiveHandles().Remove(handle, Kind::kWatcher);
      return Error(VANTREL_ERROR_SYSTEM, "making the watcher's window: %s", f.what());
    } catch (const std::system_error& e) {
      LiveHandles().Remove(handle, Kind::kWatcher);
      return Error(VANTREL_ERROR_SYSTEM, "starting the watcher's thread failed (system error %d)",
                   e.code().value());
    } catch (...) {
      LiveHandles().Remove(handle, Kind::kWatcher);
      throw;
    }
    *watcher = handle;
    return VANTREL_OK;
  });
}

vantrel_status vantrel_watcher_snapshot(const vantrel_watcher* watcher,
                                        vantrel_snapshot** snapshot) {
  return Run(__func__, [&] {
    std::shared_ptr<Watcher> w;
    if (const vantrel_status s = FindWatcher(watcher, w)) return s;
    if (!snapshot) return Null("snapshot");
    *snapshot = nullptr;
    GiveSnapshot(w->Current(), snapshot);
    return VANTREL_OK;
  });
}

vantrel_status vantrel_watcher_stop(vantrel_watcher* watcher) {
  return Run(__func__, [&] {
    std::shared_ptr<Watcher> w;
    if (const vantrel_status s = FindWatcher(watcher, w)) return s;
    if (w->OnOwnThread()) return InCallback();
    w->Stop();
    return VANTREL_OK;
  });
}

vantrel_status vantrel_watcher_free(vantrel_watcher* watcher) {
  return Run(__func__, [&] {
    if (!watcher) return VANTREL_OK;
    std::shared_ptr<Watcher> w;
    if (const vantrel_status s = FindWatcher(watcher, w)) return s;
    if (w->OnOwnThread()) return InCallback();
    // Out of the table first, so that no other call starts on it; calls
    // already running keep it until they end. Of two frees at once, one
    // finds it gone.
    if (!LiveHandles().Remove(watcher, Kind::kWatcher)) return FindWatcher(watcher, w);
    w->Stop();
    return VANTREL_OK;
  });
}

}  // extern "C"

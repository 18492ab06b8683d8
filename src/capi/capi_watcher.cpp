// The C interface's watcher: a DisplayWatcher on its own thread, whose
// callback gives the change as a line of JSON. Windows only.
#include <climits>
#include <optional>

#include "calls.h"
#include "vantrel/displays/json.h"
#include "vantrel/displays/watcher.h"

namespace vantrel::capi {

namespace {

class Watcher;
// The watcher whose callback this thread runs: it cannot end itself there.
thread_local const Watcher* in_callback = nullptr;

class Watcher {
 public:
  Watcher(vantrel_watch_callback callback, void* context)
      : callback_(callback), context_(context) {}
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

  // Returns once the first snapshot is taken; throws Exception when the
  // window or the thread cannot be made.
  void Start(vantrel_watcher* handle, const DisplayWatcher::Options& options) {
    handle_ = handle;
    watcher_.emplace([this](const DisplayChanges& c) { Deliver(c); }, options);
  }
  void Stop() noexcept { watcher_->Stop(); }
  Displays Current() const { return watcher_->Current(); }

 private:
  void Deliver(const DisplayChanges& changes) noexcept {
    std::string line;
    try {
      line = json::ChangeLine(changes);
    } catch (const std::bad_alloc&) {
      return;  // no memory to tell it; vantrel_watcher_snapshot has the displays
    }
    if (!line.empty() && line.back() == '\n') line.pop_back();
    in_callback = this;
    callback_(handle_, line.c_str(), context_);
    in_callback = nullptr;
  }

  const vantrel_watch_callback callback_;
  void* const context_;
  vantrel_watcher* handle_ = nullptr;
  std::optional<DisplayWatcher> watcher_;
};

vantrel_status FindWatcher(const vantrel_watcher* handle, std::shared_ptr<Watcher>& watcher) {
  if (!handle) return Null("watcher");
  watcher = std::static_pointer_cast<Watcher>(LiveHandles().Find(handle, Kind::kWatcher));
  if (watcher) return VANTREL_OK;
  return Report(VANTREL_ERROR_BAD_HANDLE, "the watcher %p was never given or is freed",
                static_cast<const void*>(handle));
}

vantrel_status InCallback() noexcept {
  return Report(VANTREL_ERROR_IN_CALLBACK,
                "called on the watcher's own thread, which cannot end itself");
}

std::chrono::milliseconds Or(std::uint32_t ms, std::chrono::milliseconds otherwise) {
  return ms ? std::chrono::milliseconds(ms) : otherwise;
}

}  // namespace

}  // namespace vantrel::capi

using namespace vantrel;
using namespace vantrel::capi;

extern "C" {

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

    auto w = std::make_shared<Watcher>(callback, context);
    // In the table before the thread starts, so that the first callback can
    // use the handle.
    auto* handle = static_cast<vantrel_watcher*>(LiveHandles().Add(Kind::kWatcher, w));
    try {
      w->Start(handle, chosen);
    } catch (const Exception& e) {
      LiveHandles().Remove(handle, Kind::kWatcher);
      return Failed(e.error());
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
    if (in_callback == w.get()) return InCallback();
    w->Stop();
    return VANTREL_OK;
  });
}

vantrel_status vantrel_watcher_free(vantrel_watcher* watcher) {
  return Run(__func__, [&] {
    if (!watcher) return VANTREL_OK;
    std::shared_ptr<Watcher> w;
    if (const vantrel_status s = FindWatcher(watcher, w)) return s;
    if (in_callback == w.get()) return InCallback();
    // Out of the table first, so that no other call starts on it; calls
    // already running keep it until they end. Of two frees at once, one
    // finds it gone.
    if (!LiveHandles().Remove(watcher, Kind::kWatcher)) return FindWatcher(watcher, w);
    w->Stop();
    return VANTREL_OK;
  });
}

}  // extern "C"

// A display's mode for a while: ModeChange sets it for the session and puts
// the settings it found back explicitly, since under Wine neither the
// process's end nor a reset to the kept settings undoes a CDS_FULLSCREEN
// mode. The guard is one list of every change not yet restored, which the
// process's normal exit restores.
#include "vantrel/displays/mode_change.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "vantrel/displays/change_lock.h"
#include "vantrel/displays/display_read.h"
#include "vantrel/displays/mode_change_guard.h"
#include "vantrel/platform/state_store.h"
#include "vantrel/platform/system.h"

namespace vantrel {

namespace {

using platform::ModeFacts;
using platform::SettingsChange;
using platform::SettingsFacts;
using platform::System;
namespace flags = platform::change_flags;
namespace answer = platform::change_result;

// ---- The guard ----------------------------------------------------------------

// What puts one change back.
struct Saved {
  System* system;
  platform::StateStore* store;
  std::string adapter;
  SettingsChange settings;
};

// Every change not yet restored, oldest first. A change being restored stays
// listed (busy) until it is, so that a failure puts nothing back in the list
// (no allocation on that path) and the change stays guarded.
class Guard {
 public:
  // Lists a change; the first one registers the restore at exit. Throws
  // std::bad_alloc.
  std::uint64_t Add(Saved saved) {
    const std::lock_guard lock(mutex_);
    if (!at_exit_) at_exit_ = std::atexit(RestoreAtExit) == 0;
    changes_.push_back({++last_, false, std::move(saved)});
    return last_;
  }
  // The change to restore, marked busy; none when it is not listed or
  // another thread is restoring it. Throws std::bad_alloc.
  std::optional<Saved> Take(std::uint64_t id) {
    const std::lock_guard lock(mutex_);
    const auto c = Find(id);
    if (c == changes_.end() || c->busy) return std::nullopt;
    c->busy = true;
    return c->saved;
  }
  // Restored, or released: no longer listed.
  void Drop(std::uint64_t id) noexcept {
    const std::lock_guard lock(mutex_);
    const auto c = Find(id);
    if (c != changes_.end()) changes_.erase(c);
  }
  // Not restored after all: to be restored again.
  void Keep(std::uint64_t id) noexcept {
    const std::lock_guard lock(mutex_);
    const auto c = Find(id);
    if (c != changes_.end()) c->busy = false;
  }
  bool Has(std::uint64_t id) noexcept {
    const std::lock_guard lock(mutex_);
    return Find(id) != changes_.end();
  }
  // Every change listed, the newest first. Throws std::bad_alloc.
  std::vector<std::uint64_t> NewestFirst() {
    const std::lock_guard lock(mutex_);
    std::vector<std::uint64_t> ids;
    for (auto c = changes_.rbegin(); c != changes_.rend(); ++c) ids.push_back(c->id);
    return ids;
  }
  std::size_t Size() noexcept {
    const std::lock_guard lock(mutex_);
    return changes_.size();
  }

 private:
  struct Change {
    std::uint64_t id;
    bool busy;
    Saved saved;
  };
  std::vector<Change>::iterator Find(std::uint64_t id) noexcept {
    return std::ranges::find(changes_, id, &Change::id);
  }
  static void RestoreAtExit() { mode_changes::RestoreAll(); }

  std::mutex mutex_;
  std::vector<Change> changes_;
  std::uint64_t last_ = 0;
  bool at_exit_ = false;
};

// Never destroyed: a ModeChange kept in a static object may end after every
// other static has.
Guard& TheGuard() noexcept {
  static Guard* const guard = new Guard;
  return *guard;
}

// ---- Texts ----------------------------------------------------------------------

// As "800 x 600, 32 bits, 60 Hz", leaving out what is 0.
std::string Describe(const ModeFacts& m) {
  std::string text = std::to_string(m.width) + " x " + std::to_string(m.height);
  if (m.bits_per_pixel > 0) text += ", " + std::to_string(m.bits_per_pixel) + " bits";
  if (m.frequency > 0) text += ", " + std::to_string(m.frequency) + " Hz";
  return text;
}

Error Refused(const std::string& what, std::int32_t a) {
  Error e{ErrorCode::kSystem, 0, what + " failed (" + platform::ChangeResultName(a) + ")"};
  e.change_result = a;
  return e;
}

// ---- Changing -------------------------------------------------------------------

// The display's settings in use, as its adapter lists them.
std::optional<SettingsFacts> InUse(System& s, const Display& d) {
  for (const platform::AdapterFacts& a : s.Adapters()) {
    if (SameDeviceName(a.device_name, d.device_name)) return a.current;
  }
  return std::nullopt;
}

// Sets the saved settings explicitly and keeps them.
Result<void> PutBack(const Saved& saved) {
  const std::int32_t a =
      saved.system->ChangeSettings(saved.adapter, saved.settings, flags::kUpdateRegistry);
  if (a == answer::kSuccessful) return {};
  const Point at = saved.settings.position.value_or(Point{});
  return Refused("restoring " + saved.adapter + " to " + Describe(saved.settings.mode) + " at " +
                     std::to_string(at.x) + "," + std::to_string(at.y),
                 a);
}

// Restores a listed change once, whoever asks first; a failure leaves it
// listed. Under the lock of every change of the displays, but at the
// process's exit, which must never wait on another process.
Result<void> RestoreListed(std::uint64_t id, bool at_exit) {
  Guard& guard = TheGuard();
  const std::optional<Saved> saved = guard.Take(id);
  if (!saved) return {};
  try {
    std::optional<Result<ChangeLock>> lock;
    if (!at_exit) {
      lock.emplace(ChangeLock::Take(*saved->store));
      if (!*lock) {
        guard.Keep(id);
        return lock->error();
      }
    }
    Result<void> done = PutBack(*saved);
    if (done) {
      guard.Drop(id);
    } else {
      guard.Keep(id);
    }
    return done;
  } catch (...) {
    guard.Keep(id);
    throw;
  }
}

}  // namespace

namespace mode_changes {

std::size_t RestoreAll() noexcept {
  std::size_t restored = 0;
  try {
    for (const std::uint64_t id : TheGuard().NewestFirst()) {
      try {
        if (RestoreListed(id, true)) ++restored;
      } catch (...) {
        // Out of memory for this one; the others may still go back.
      }
    }
  } catch (...) {
    // No memory for the list: nothing can be restored.
  }
  return restored;
}

std::size_t Listed() noexcept { return TheGuard().Size(); }

}  // namespace mode_changes

Result<ModeChange> ModeChange::Set(const Display& display, const DisplayMode& mode) {
  return Set(platform::CurrentSystem(), platform::CurrentStore(), display, mode);
}

Result<ModeChange> ModeChange::Set(System& s, platform::StateStore& store, const Display& display,
                                   const DisplayMode& mode) {
  const std::string& adapter = display.device_name;
  // Read under the lock: the settings to put back are those in force when
  // this change is made.
  Result<ChangeLock> lock = ChangeLock::Take(store);
  if (!lock) return lock.error();
  const std::optional<SettingsFacts> found = InUse(s, display);
  if (!found) {
    return Error{ErrorCode::kSystem, 0, "the adapter " + adapter + " lists no settings in use"};
  }
  // Explicit in every field, a 0 taking the display's: what is tested is
  // what is set.
  const auto pick = [](std::int32_t asked, std::int32_t now) { return asked > 0 ? asked : now; };
  const ModeFacts& now = found->mode;
  SettingsChange wanted;
  wanted.mode = {pick(mode.width, now.width), pick(mode.height, now.height),
                 pick(mode.bits_per_pixel, now.bits_per_pixel), pick(mode.frequency, now.frequency),
                 std::nullopt};
  const std::string what = Describe(wanted.mode) + " on " + adapter;
  const std::int32_t tested = s.ChangeSettings(adapter, wanted, flags::kTest);
  if (tested == answer::kBadMode) {
    Error e{ErrorCode::kRefused, 0, adapter + " does not offer the mode " + Describe(wanted.mode)};
    e.change_result = tested;
    return e;
  }
  if (tested != answer::kSuccessful) return Refused("testing " + what, tested);

  // Listed before it is set, so that the guard covers it from the start.
  const std::uint64_t id =
      TheGuard().Add({&s, &store, adapter, {true, found->position, found->mode}});
  std::int32_t set = answer::kFailed;
  try {
    set = s.ChangeSettings(adapter, wanted, flags::kFullscreen);
  } catch (...) {
    TheGuard().Drop(id);
    throw;
  }
  if (set != answer::kSuccessful) {
    TheGuard().Drop(id);
    return Refused("setting " + what, set);
  }
  return ModeChange(id, adapter, {now.width, now.height, now.bits_per_pixel, now.frequency},
                    found->position);
}

ModeChange::ModeChange(std::uint64_t id, std::string device_name, const DisplayMode& saved_mode,
                       Point saved_position) noexcept
    : id_(id),
      device_name_(std::move(device_name)),
      saved_mode_(saved_mode),
      saved_position_(saved_position) {}

ModeChange::ModeChange(ModeChange&& other) noexcept
    : id_(std::exchange(other.id_, 0)),
      device_name_(std::move(other.device_name_)),
      saved_mode_(other.saved_mode_),
      saved_position_(other.saved_position_) {}

ModeChange& ModeChange::operator=(ModeChange&& other) noexcept {
  if (this == &other) return *this;
  try {
    (void)Restore();
  } catch (...) {
    // Out of memory: the guard still has it.
  }
  id_ = std::exchange(other.id_, 0);
  device_name_ = std::move(other.device_name_);
  saved_mode_ = other.saved_mode_;
  saved_position_ = other.saved_position_;
  return *this;
}

ModeChange::~ModeChange() {
  try {
    (void)Restore();
  } catch (...) {
    // Out of memory: the guard still has it.
  }
}

Result<void> ModeChange::Restore() {
  if (id_ == 0) return {};
  return RestoreListed(id_, false);
}

void ModeChange::release() noexcept {
  if (id_ != 0) TheGuard().Drop(id_);
}

bool ModeChange::active() const noexcept { return id_ != 0 && TheGuard().Has(id_); }

}  // namespace vantrel

// What every exported function shares: the table of live handles, the
// thread's error message, the run that turns whatever is thrown into a
// status, and the reading and writing of the caller's structs by their size.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>

#include "vantrel/displays/apply.h"
#include "vantrel/displays/displays.h"
#include "vantrel/displays/placement.h"
#include "vantrel/displays/result.h"
#include "vantrel/platform/system.h"
#include "vantrel/vantrel_c.h"

namespace vantrel::capi {

// ---- Handles ----------------------------------------------------------------

enum class Kind : std::uint8_t { kSnapshot, kWatcher, kModeChange };

// Every handle given and not yet freed, with its object. A handle is a
// number never given twice, so a freed one stays unknown even when its
// object's memory is used again. A call holds the object while it runs, so a
// free from another thread meanwhile ends it only once the call is done.
class Handles {
 public:
  // Throws std::bad_alloc.
  void* Add(Kind kind, std::shared_ptr<void> object);
  // Null when the handle is not live or names another kind.
  std::shared_ptr<void> Find(const void* handle, Kind kind);
  // Takes the handle out; null as Find.
  std::shared_ptr<void> Remove(const void* handle, Kind kind);

 private:
  struct Entry {
    Kind kind;
    std::shared_ptr<void> object;
  };
  std::mutex mutex_;
  std::unordered_map<std::uintptr_t, Entry> live_;
  std::uintptr_t last_ = 0x10000;
};

// Never destroyed: a DLL unloaded with a handle still live must not run its
// object's end (a watcher's join) inside the loader.
Handles& LiveHandles() noexcept;

// ---- Errors -----------------------------------------------------------------

// Sets this thread's message, "function: what", and gives back the status.
vantrel_status Report(vantrel_status status, const char* format, ...) noexcept;

// The body of an exported function, run so that nothing escapes: running
// out of memory and any other exception become statuses. The message names
// the function; a success clears it.
void BeginCall(const char* function) noexcept;
vantrel_status OnException(std::exception_ptr e) noexcept;

template <class Body>
vantrel_status Run(const char* function, Body&& body) noexcept {
  BeginCall(function);
  try {
    return body();
  } catch (...) {
    return OnException(std::current_exception());
  }
}

// For an argument that is null: `if (!index) return Null("index");`.
inline vantrel_status Null(const char* argument) noexcept {
  return Report(VANTREL_ERROR_NULL_ARGUMENT, "%s is null", argument);
}

// The status and message of the C++ API's failure.
vantrel_status Failed(const vantrel::Error& error) noexcept;
// The status and message of a change of the displays, by how it ended.
// Throws std::bad_alloc.
vantrel_status Ended(const vantrel::ChangeOutcome& outcome);

// A C++ call run per-monitor aware, the calling thread's awareness given
// back after it, so that its pixels are physical whatever the caller's.
template <class Call>
auto PerMonitorAware(Call&& call) {
  const platform::PerMonitorAware aware(platform::CurrentSystem());
  return call();
}

// ---- Texts for the caller --------------------------------------------------

// A text's arguments as vantrel_snapshot_json takes them: a size to write
// back, and a buffer wherever a capacity is given.
vantrel_status CheckTextOut(const char* buffer, std::size_t capacity,
                            const std::size_t* size) noexcept;
// *size the text's bytes with its NUL; the text too when a buffer is given
// and holds it. `what` names the text in the message.
vantrel_status GiveText(const std::string& text, const char* what, char* buffer,
                        std::size_t capacity, std::size_t* size) noexcept;

// The place a line of vantrel_placement_save's holds; any other text is
// VANTREL_ERROR_INVALID_ARGUMENT, the message set. Throws std::bad_alloc.
vantrel_status ReadPlacement(const char* text, WindowPlacement& placement);

// ---- Snapshots --------------------------------------------------------------

class Snapshot {
 public:
  explicit Snapshot(Displays displays) : displays_(std::move(displays)) {}
  const Displays& displays() const noexcept { return displays_; }
  // As vantrel-list --json prints it; made on first asking. Throws
  // std::bad_alloc.
  const std::string& Json() const;

 private:
  const Displays displays_;
  mutable std::mutex mutex_;
  mutable std::optional<std::string> json_;
};

// The snapshot a handle names; otherwise a status, the message set.
vantrel_status FindSnapshot(const vantrel_snapshot* handle,
                            std::shared_ptr<const Snapshot>& snapshot) noexcept;
// A new handle for the displays, written to *out. Throws std::bad_alloc.
void GiveSnapshot(Displays displays, vantrel_snapshot** out);

// The body of an exported function on a snapshot: the handle checked, then
// `body(const Snapshot&)` run as Run runs it.
template <class Body>
vantrel_status RunOnSnapshot(const char* function, const vantrel_snapshot* handle,
                             Body&& body) noexcept {
  return Run(function, [&] {
    std::shared_ptr<const Snapshot> s;
    if (const vantrel_status status = FindSnapshot(handle, s)) return status;
    return body(*s);
  });
}

// ---- The caller's structs ---------------------------------------------------

// The least size of a struct a caller may give: its size in ABI 1's first
// release, which later versions accept too. A struct grown since takes that
// of its members before the growth.
template <class T>
inline constexpr std::uint32_t kAbiSize = sizeof(T);
template <>
inline constexpr std::uint32_t kAbiSize<vantrel_display> = offsetof(vantrel_display, clone_count);

template <class T>
vantrel_status CheckSize(const T* s, const char* what) noexcept {
  if (s->size >= kAbiSize<T>) return VANTREL_OK;
  return Report(VANTREL_ERROR_BAD_SIZE, "%s's size is %u, below this library's %u", what,
                static_cast<unsigned>(s->size), static_cast<unsigned>(kAbiSize<T>));
}

// Fills as much of the caller's struct as both sides know, its size kept.
template <class T>
void WriteOut(T value, T* out) noexcept {
  value.size = out->size;
  std::memcpy(out, &value, std::min<std::size_t>(out->size, sizeof(T)));
}

// The caller's options over the defaults, as far as both sides know them.
template <class T>
T ReadIn(const T* in, T defaults) noexcept {
  if (in) std::memcpy(&defaults, in, std::min<std::size_t>(in->size, sizeof(T)));
  return defaults;
}

}  // namespace vantrel::capi

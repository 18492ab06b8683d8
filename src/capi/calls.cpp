// What every exported function shares (calls.h): the table of live handles,
// the thread's error message, texts handed to the caller, and the status of
// a failure of the C++ API.
#include "calls.h"

#include <cstdarg>
#include <cstdio>
#include <exception>

#include "vantrel/displays/json.h"

namespace vantrel::capi {

// ---- Handles ----------------------------------------------------------------

void* Handles::Add(Kind kind, std::shared_ptr<void> object) {
  std::lock_guard lock(mutex_);
  // Steps of 16 keep handles looking like the aligned pointers they stand in
  // for; 2^60 of them will not run out.
  last_ += 16;
  live_.emplace(last_, Entry{kind, std::move(object)});
  return reinterpret_cast<void*>(last_);
}

std::shared_ptr<void> Handles::Find(const void* handle, Kind kind) {
  std::lock_guard lock(mutex_);
  const auto found = live_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (found == live_.end() || found->second.kind != kind) return nullptr;
  return found->second.object;
}

std::shared_ptr<void> Handles::Remove(const void* handle, Kind kind) {
  std::lock_guard lock(mutex_);
  const auto found = live_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (found == live_.end() || found->second.kind != kind) return nullptr;
  std::shared_ptr<void> object = std::move(found->second.object);
  live_.erase(found);
  return object;
}

Handles& LiveHandles() noexcept {
  static Handles* const handles = new Handles;
  return *handles;
}

// ---- Errors -----------------------------------------------------------------

namespace {

// Plain bytes: a thread_local with a destructor in a DLL makes a thread hang
// at its exit once the DLL is unloaded (Wine 8). Room for a layout that did
// not take, which names every display that came back otherwise.
constexpr std::size_t kMessageSize = 2048;
thread_local char message[kMessageSize];
thread_local const char* current_function = "";

}  // namespace

void BeginCall(const char* function) noexcept {
  current_function = function;
  message[0] = '\0';
}

vantrel_status Report(vantrel_status status, const char* format, ...) noexcept {
  const int prefix = std::snprintf(message, kMessageSize, "%s: ", current_function);
  if (prefix > 0 && static_cast<std::size_t>(prefix) < kMessageSize) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message + prefix, kMessageSize - static_cast<std::size_t>(prefix), format,
                   arguments);
    va_end(arguments);
  }
  return status;
}

vantrel_status OnException(std::exception_ptr e) noexcept {
  try {
    std::rethrow_exception(e);
  } catch (const std::bad_alloc&) {
    return Report(VANTREL_ERROR_OUT_OF_MEMORY, "out of memory");
  } catch (const std::exception& other) {
    return Report(VANTREL_ERROR_INTERNAL, "unexpected exception: %s", other.what());
  } catch (...) {
    return Report(VANTREL_ERROR_INTERNAL, "unexpected exception");
  }
}

// ---- Texts for the caller --------------------------------------------------

vantrel_status CheckTextOut(const char* buffer, std::size_t capacity,
                            const std::size_t* size) noexcept {
  if (!size) return Null("size");
  if (!buffer && capacity > 0) return Null("buffer");
  return VANTREL_OK;
}

vantrel_status GiveText(const std::string& text, const char* what, char* buffer,
                        std::size_t capacity, std::size_t* size) noexcept {
  *size = text.size() + 1;
  if (!buffer) return VANTREL_OK;
  if (capacity < *size) {
    return Report(VANTREL_ERROR_BUFFER_TOO_SMALL, "the buffer holds %llu bytes, %s needs %llu",
                  static_cast<unsigned long long>(capacity), what,
                  static_cast<unsigned long long>(*size));
  }
  std::memcpy(buffer, text.c_str(), *size);
  return VANTREL_OK;
}

vantrel_status ReadPlacement(const char* text, WindowPlacement& placement) {
  if (!text) return Null("text");
  Result<WindowPlacement> read = PlacementFromText(text);
  if (!read) {
    return Report(VANTREL_ERROR_INVALID_ARGUMENT,
                  "the text is no window's place as vantrel_placement_save writes it");
  }
  placement = std::move(read).value();
  return VANTREL_OK;
}

// ---- Snapshots --------------------------------------------------------------

const std::string& Snapshot::Json() const {
  std::lock_guard lock(mutex_);
  if (!json_) json_ = json::Document(displays_);
  return *json_;
}

vantrel_status FindSnapshot(const vantrel_snapshot* handle,
                            std::shared_ptr<const Snapshot>& snapshot) noexcept {
  if (!handle) return Null("snapshot");
  snapshot = std::static_pointer_cast<const Snapshot>(LiveHandles().Find(handle, Kind::kSnapshot));
  if (snapshot) return VANTREL_OK;
  return Report(VANTREL_ERROR_BAD_HANDLE, "the snapshot %p was never given or is freed",
                static_cast<const void*>(handle));
}

void GiveSnapshot(Displays displays, vantrel_snapshot** out) {
  *out = static_cast<vantrel_snapshot*>(
      LiveHandles().Add(Kind::kSnapshot, std::make_shared<Snapshot>(std::move(displays))));
}

// ---- Failures of the C++ API --------------------------------------------

vantrel_status Failed(const vantrel::Error& error) noexcept {
  vantrel_status status = VANTREL_ERROR_SYSTEM;
  if (error.code == ErrorCode::kInvalidArgument) status = VANTREL_ERROR_INVALID_ARGUMENT;
  if (error.code == ErrorCode::kRefused) status = VANTREL_ERROR_REFUSED;
  return Report(status, "%s", error.message.c_str());
}

vantrel_status Ended(const ChangeOutcome& outcome) {
  vantrel_status status = VANTREL_ERROR_SYSTEM;
  switch (outcome.end) {
    case ChangeEnd::kApplied:
      return VANTREL_OK;
    case ChangeEnd::kRefused:
      status = VANTREL_ERROR_REFUSED;
      break;
    case ChangeEnd::kNotSaved:
      status = VANTREL_ERROR_SYSTEM;
      break;
    case ChangeEnd::kRolledBack:
    case ChangeEnd::kNotKept:  // no confirmation is asked here; as a rollback all the same
      status = VANTREL_ERROR_ROLLED_BACK;
      break;
    case ChangeEnd::kNotBack:
      status = VANTREL_ERROR_NOT_BACK;
      break;
  }
  return Report(status, "%s", Message(outcome).c_str());
}

}  // namespace vantrel::capi

extern "C" const char* vantrel_last_error_message(void) { return vantrel::capi::message; }

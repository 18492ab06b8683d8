// The C interface's calls on the desktop's memory: the file vantrel-keep
// keeps, read, kept into and put back from by a DesktopKeeper of the call's.
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "calls.h"
#include "vantrel/displays/desktop.h"
#include "vantrel/platform/state_store.h"

using namespace vantrel;
using namespace vantrel::capi;

namespace {

// The memory's file; none is an empty memory. Its text is the caller's
// problem to look at, so a file that is no memory is left where it is.
vantrel_status ReadMemory(platform::StateStore& store, DesktopMemory& memory) {
  const Result<std::optional<std::string>> read = store.Read(kDesktopFile);
  if (!read) return Failed(read.error());
  if (!*read) return VANTREL_OK;
  Result<DesktopMemory> parsed = DesktopMemoryFromJson(**read);
  if (!parsed) {
    const Result<std::string> where = store.Where(kDesktopFile);
    return Report(VANTREL_ERROR_INVALID_ARGUMENT, "%s: %s",
                  where ? where->c_str() : std::string(kDesktopFile).c_str(),
                  parsed.error().message.c_str());
  }
  memory = std::move(parsed).value();
  return VANTREL_OK;
}

// A running vantrel-keep holds the memory and writes it at each change, over
// anything written beside it: it is asked to remember instead. Its window
// and request are those vantrel-keep's windows_link.cpp names.
bool RememberedByKeeper() {
#ifdef _WIN32
  const HWND keeper = FindWindowExW(HWND_MESSAGE, nullptr, L"Vantrel.Keeper", nullptr);
  if (!keeper) return false;
  constexpr WPARAM kRemember = 5;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(keeper, RegisterWindowMessageW(L"Vantrel.Keeper.Request"), kRemember,
                             0, SMTO_ABORTIFHUNG, 10000, &answer) &&
         answer == 1;
#else
  return false;
#endif
}

}  // namespace

extern "C" {

vantrel_status vantrel_desktop_remember(void) {
  return Run(__func__, [] {
    if (RememberedByKeeper()) return VANTREL_OK;
    platform::StateStore& store = platform::CurrentStore();
    // Two programs remembering at once both land, one after the other.
    const Result<std::unique_ptr<platform::StateStore::Held>> held = store.Lock("desktop-memory");
    if (!held) return Failed(held.error());
    DesktopMemory memory;
    if (const vantrel_status status = ReadMemory(store, memory)) return status;
    DesktopKeeper keeper(platform::CurrentSystem(), store, std::move(memory), {});
    PerMonitorAware([&] { keeper.RememberNow(); });
    const Result<void> saved = store.Write(kDesktopFile, ToJson(keeper.Memory()));
    return saved ? VANTREL_OK : Failed(saved.error());
  });
}

vantrel_status vantrel_desktop_restore(int32_t* windows, int32_t* skipped) {
  return Run(__func__, [&] {
    if (windows) *windows = 0;
    if (skipped) *skipped = 0;
    platform::StateStore& store = platform::CurrentStore();
    DesktopMemory memory;
    if (const vantrel_status status = ReadMemory(store, memory)) return status;
    DesktopKeeper keeper(platform::CurrentSystem(), store, std::move(memory), {});
    const RestoreReport report = PerMonitorAware([&] { return keeper.Restore(); });
    if (windows) *windows = report.windows;
    if (skipped) *skipped = report.skipped;
    return VANTREL_OK;
  });
}

vantrel_status vantrel_desktop_json(char* buffer, size_t capacity, size_t* size) {
  return Run(__func__, [&] {
    if (const vantrel_status status = CheckTextOut(buffer, capacity, size)) return status;
    DesktopMemory memory;
    if (const vantrel_status status = ReadMemory(platform::CurrentStore(), memory)) return status;
    return GiveText(ToJson(memory), "the memory", buffer, capacity, size);
  });
}

}  // extern "C"

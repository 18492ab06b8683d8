// Loads shcore.dll one way (plain, library or fallback) and prints the DPI its
// GetDpiForMonitor gives: 4242 from the one planted beside this program. Each
// way runs in a process of its own: a loaded shcore is handed to any later load.
#include <shellscalingapi.h>
#include <windows.h>

#include <cstdio>
#include <string_view>

#include "vantrel/base/late_binding.h"
#include "vantrel/platform/dynamic_functions.h"

// As a loader without the search flags answers (Windows 7 before its update).
HMODULE WINAPI LoadWithoutSearchFlags(LPCWSTR name, HANDLE file, DWORD flags) {
  if (!(flags & LOAD_LIBRARY_SEARCH_SYSTEM32)) return LoadLibraryExW(name, file, flags);
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

int main(int argc, char** argv) {
  const std::string_view way = argc > 1 ? argv[1] : "";
  HMODULE shcore = nullptr;
  if (way == "plain") shcore = LoadLibraryW(L"shcore.dll");
  if (way == "fallback") {
    shcore =
        vantrel::LoadSystemLibrary(L"shcore.dll", {LoadWithoutSearchFlags, GetSystemDirectoryW});
  }
  auto* get_dpi = reinterpret_cast<decltype(::GetDpiForMonitor)*>(
      reinterpret_cast<void*>(shcore ? GetProcAddress(shcore, "GetDpiForMonitor") : nullptr));
  if (way == "library") get_dpi = vantrel::platform::OptionalShcore().GetDpiForMonitor;
  UINT x = 0, y = 0;
  const HMONITOR primary = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (!get_dpi || get_dpi(primary, MDT_EFFECTIVE_DPI, &x, &y) != S_OK) return 1;
  std::printf("dpi %u\n", x);
}

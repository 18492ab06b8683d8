#include "vantrel/base/late_binding.h"

#include <cwchar>

namespace vantrel {

HMODULE LoadSystemLibrary(const wchar_t* name, const SystemLoader& loader) noexcept {
  const HMODULE module = loader.load(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;

  // Windows 7 without its loader update knows no search flags: the same file
  // by its full path, its own imports looked for beside it first.
  wchar_t path[MAX_PATH];
  const UINT folder = loader.system_directory(path, MAX_PATH);
  const std::size_t length = std::wcslen(name);
  if (folder == 0) return nullptr;
  if (folder + 1 + length >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  path[folder] = L'\\';
  std::wmemcpy(path + folder + 1, name, length + 1);
  return loader.load(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace vantrel

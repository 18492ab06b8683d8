// Functions bound by name, for code that must start on systems that lack
// them: one mechanism for every such function. A library is loaded once, on
// first use from whichever thread comes first, and held for the life of the
// process. Each function takes its type from the SDK's own declaration
// (decltype(::Fn)), so a wrong signature does not compile.
//  - LateBound: a required function, bound once on its first call; one the
//    library lacks fails with 453 on that call and every later one.
//  - FindFunction: an optional function; null when the library lacks it, for
//    the caller to check.
// Libraries are loaded from the system directory alone, never from the
// program's folder, the current directory or PATH, where anyone could leave a
// DLL of the same name.
#pragma once

#include <windows.h>

#include <mutex>

#include "vantrel/base/attempt.h"

namespace vantrel {

// The loader's two calls, apart so that a test can stand in for them.
struct SystemLoader {
  decltype(::LoadLibraryExW)* load = ::LoadLibraryExW;
  decltype(::GetSystemDirectoryW)* system_directory = ::GetSystemDirectoryW;
};

// The DLL `name` (a file name, no folder) from the system directory; null,
// with the loader's error, when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name, const SystemLoader& loader = {}) noexcept;

class Library {
 public:
  explicit Library(const wchar_t* name) noexcept : name_(name) {}
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  // Held to the end of the process: functions bound from it may be called
  // until then, from any thread.
  ~Library() = default;

  // Null when the library cannot be loaded; load_error() then says why.
  HMODULE module() noexcept {
    std::call_once(loaded_, [this] {
      module_ = LoadSystemLibrary(name_);
      if (!module_) load_error_ = GetLastError();
    });
    return module_;
  }
  DWORD load_error() noexcept { return module() ? 0 : load_error_; }
  FARPROC Find(const char* function) noexcept {
    const HMODULE m = module();
    return m ? GetProcAddress(m, function) : nullptr;
  }

 private:
  const wchar_t* name_;
  std::once_flag loaded_;
  HMODULE module_ = nullptr;
  DWORD load_error_ = 0;
};

// The function `name` of `library` as the declared type Fn, or null.
template <class Fn>
Fn* FindFunction(Library& library, const char* name) noexcept {
  return reinterpret_cast<Fn*>(reinterpret_cast<void*>(library.Find(name)));
}

template <class Fn>
class LateBound {
 public:
  LateBound(Library& library, const char* name) noexcept : library_(library), name_(name) {}
  LateBound(const LateBound&) = delete;
  LateBound& operator=(const LateBound&) = delete;

  // Fails with the loader's error, the same on every call: the library's when
  // it could not be loaded, else the function's lookup's.
  Fn* get() {
    std::call_once(bound_, [this] {
      fn_ = FindFunction<Fn>(library_, name_);
      const DWORD lookup_error = GetLastError();
      if (!fn_) error_ = library_.module() ? lookup_error : library_.load_error();
    });
    if (!fn_) Fail(kFunctionMissing, error_, name_);
    return fn_;
  }

 private:
  Library& library_;
  const char* name_;
  std::once_flag bound_;
  Fn* fn_ = nullptr;
  DWORD error_ = 0;
};

}  // namespace vantrel

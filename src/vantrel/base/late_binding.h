// Functions bound by name, for code that must start on systems that lack
// them. A library is loaded on first use and held for the life of the
// process. Each function takes its type from the SDK's own declaration
// (decltype(::Fn)), so a wrong signature does not compile.
//  - LateBound: a required function, bound on its first call; one the library
//    lacks fails with 453 on that call and every later one.
//  - FindFunction: an optional function; null when the library lacks it, for
//    the caller to check.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "vantrel/base/failure.h"

namespace vantrel {

class Library {
 public:
  explicit Library(const char* name) : name_(name) {}
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  FARPROC Find(const char* function) {
    if (!tried_) {
      tried_ = true;
      module_ = LoadLibraryA(name_);
    }
    return module_ ? GetProcAddress(module_, function) : nullptr;
  }

 private:
  const char* name_;
  HMODULE module_ = nullptr;
  bool tried_ = false;
};

// The function `name` of `library` as the declared type Fn, or null.
template <class Fn>
Fn* FindFunction(Library& library, const char* name) {
  return reinterpret_cast<Fn*>(reinterpret_cast<void*>(library.Find(name)));
}

template <class Fn>
class LateBound {
 public:
  LateBound(Library& library, const char* name) : library_(library), name_(name) {}
  Fn* get() {
    if (!tried_) {
      tried_ = true;
      fn_ = FindFunction<Fn>(library_, name_);
    }
    if (!fn_) Fail(kFunctionMissing);
    return fn_;
  }

 private:
  Library& library_;
  const char* name_;
  Fn* fn_ = nullptr;
  bool tried_ = false;
};

}  // namespace vantrel

// Functions bound by name on their first call. A library is loaded on the
// first call of any of its functions and held for the life of the process; a
// function the library lacks fails with 453 on that call and every later one.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "monitors/failure.h"

namespace vantrel::platform {

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

template <class Signature>
class LateBound {
 public:
  LateBound(Library& library, const char* name) : library_(library), name_(name) {}
  Signature* get() {
    if (!tried_) {
      tried_ = true;
      fn_ = reinterpret_cast<Signature*>(reinterpret_cast<void*>(library_.Find(name_)));
    }
    if (!fn_) Fail(kFunctionMissing);
    return fn_;
  }

 private:
  Library& library_;
  const char* name_;
  Signature* fn_ = nullptr;
  bool tried_ = false;
};

}  // namespace vantrel::platform

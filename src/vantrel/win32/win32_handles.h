// Owners for Win32 handles, one line each: the handle type and the function
// that releases it, called when the owner goes or takes another handle.
#pragma once

#include <windows.h>

#include <utility>

namespace vantrel::ui {

template <class Handle, auto Release>
class Unique {
 public:
  Unique() = default;
  explicit Unique(Handle h) : h_(h) {}
  Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, Handle{})) {}
  Unique& operator=(Unique&& other) noexcept {
    reset(std::exchange(other.h_, Handle{}));
    return *this;
  }
  ~Unique() { reset(); }
  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Handle{}; }
  void reset(Handle h = Handle{}) {
    if (h_) Release(h_);
    h_ = h;
  }

 private:
  Handle h_{};
};

using UniqueFont = Unique<HFONT, ::DeleteObject>;

}  // namespace vantrel::ui

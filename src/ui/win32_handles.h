// Owners for the Win32 handles the window layer creates, each released by
// its own function when the owner goes.
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

inline void DeleteFont(HFONT f) { DeleteObject(f); }
inline void CloseHandleOf(HANDLE h) { CloseHandle(h); }
using UniqueFont = Unique<HFONT, DeleteFont>;
using UniqueHandle = Unique<HANDLE, CloseHandleOf>;

}  // namespace vantrel::ui

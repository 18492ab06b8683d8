// Owners for Win32 handles, one line each: the handle type and the function
// that releases it, called when the owner goes or takes another handle. Every
// layer that opens a handle owns it with these. Nothing here throws, so an
// owner releases on every path, a thrown failure's included.
#pragma once

#include <windows.h>

#include <utility>

namespace vantrel {

template <class Handle, auto Release>
class Unique {
 public:
  Unique() noexcept = default;
  explicit Unique(Handle h) noexcept : h_(h) {}
  Unique(Unique&& other) noexcept : h_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~Unique() { reset(); }
  Handle get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != Handle{}; }
  void reset(Handle h = Handle{}) noexcept {
    if (h_) Release(h_);
    h_ = h;
  }
  // Gives the handle up without releasing it.
  [[nodiscard]] Handle release() noexcept { return std::exchange(h_, Handle{}); }

 private:
  Handle h_{};
};

inline void ReleaseScreenDC(HDC dc) noexcept { ReleaseDC(nullptr, dc); }

using UniqueFont = Unique<HFONT, ::DeleteObject>;
using UniqueWindow = Unique<HWND, ::DestroyWindow>;   // on the thread that made it
using UniqueScreenDC = Unique<HDC, ReleaseScreenDC>;  // GetDC(nullptr)
using UniqueDC = Unique<HDC, ::DeleteDC>;             // CreateDCW
using UniqueHandle = Unique<HANDLE, ::CloseHandle>;   // a kernel object, as OpenProcess's

// An object selected into a device context, put back as it was when the
// owner goes.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace vantrel

// The report window's own toolkit pieces over Win32: its text box and ending
// the program.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "report_toolkit.h"

namespace report {

// Setting the text fails with the platform's error code: kOutOfMemory where
// it ran out of memory, kInvalidCall otherwise (the box is gone, say).
class Win32TextBox final : public TextBox {
 public:
  explicit Win32TextBox(HWND edit = nullptr) : edit_(edit) {}
  void Attach(HWND edit) { edit_ = edit; }
  std::string Text() const override;
  void Text(std::string_view value) override;

 private:
  HWND edit_;
};

class Win32Application final : public Application {
 public:
  [[noreturn]] void End() override;
};

}  // namespace report

#include "win32_report_toolkit.h"

#include "vantrel/base/attempt.h"

namespace report {

std::string Win32TextBox::Text() const {
  const int length = GetWindowTextLengthA(edit_);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(edit_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void Win32TextBox::Text(std::string_view value) {
  const std::string text(value);
  if (SetWindowTextA(edit_, text.c_str())) return;
  const DWORD error = GetLastError();
  const bool no_memory = error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY;
  vantrel::Fail(no_memory ? vantrel::kOutOfMemory : vantrel::kInvalidCall, error, "SetWindowTextA");
}

void Win32Application::End() { ExitProcess(0); }

}  // namespace report

#include "report/win32_report_toolkit.h"

#include "vantrel/base/failure.h"

namespace vantrel::ui {

std::string Win32TextBox::Text() const {
  const int length = GetWindowTextLengthA(edit_);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(edit_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void Win32TextBox::Text(std::string_view value) {
  if (!SetWindowTextA(edit_, std::string(value).c_str())) Fail(kOutOfMemory);
}

void Win32Application::End() { ExitProcess(0); }

}  // namespace vantrel::ui

#include "console.h"

#include <algorithm>

namespace vantrel::console {

bool Write(DWORD which, std::string_view text) {
  const HANDLE out = GetStdHandle(which);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = Utf16(text);
    DWORD written = 0;
    return WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
  }
  while (!text.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(out, text.data(), chunk, &written, nullptr) || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

std::vector<std::string> Arguments(int argc, wchar_t** argv) {
  std::vector<std::string> texts;
  for (int k = 1; k < argc; ++k) texts.push_back(Utf8(argv[k]));
  return texts;
}

}  // namespace vantrel::console

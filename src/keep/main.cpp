// vantrel-keep: remembers where every window was on each set of displays and
// puts them back when that set returns (see keep_tool::Usage()).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "keep_tool.h"
#include "windows_link.h"

namespace {

using vantrel::console::Write;

class WindowsConsole final : public keep_tool::Console {
 public:
  bool Out(std::string_view text) override { return Write(STD_OUTPUT_HANDLE, text); }
  void Err(std::string_view text) override { Write(STD_ERROR_HANDLE, text); }
};

// The local time, to name a file set aside: "20250301-101500".
std::string Stamp() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond);
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::optional<keep_tool::Options> options =
      vantrel::console::ParsedArguments(argc, argv, "vantrel-keep", keep_tool::ParseArguments);
  if (!options) return keep_tool::kBadUsage;
  WindowsConsole console;
  int code = keep_tool::kFailed;
  WindowsLink link;
  try {
    keep_tool::Context context{console,
                               vantrel::platform::CurrentSystem(),
                               vantrel::platform::CurrentStore(),
                               vantrel::platform::CurrentEvents(),
                               [] { return std::chrono::steady_clock::now(); },
                               Stamp(),
                               GetCurrentProcessId()};
    code = keep_tool::Run(*options, context, link);
  } catch (const std::exception& e) {
    console.Err(std::string("vantrel-keep: ") + e.what() + "\n");
  }
  link.Finished();
  return code;
}

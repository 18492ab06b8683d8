// vantrel-list: the displays of the desktop, as a table for people or JSON
// for scripts, once or at every change (see listing::Usage()). What it does
// is listing::Run; here is only the console.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "listing.h"

namespace {

using vantrel::console::Write;

// Set by Ctrl+C (or the console closing) and by a line that cannot be
// written: either ends --watch.
HANDLE stop_watching = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  SetEvent(stop_watching);
  return TRUE;
}

class ProgramConsole final : public listing::Console {
 public:
  bool Out(std::string_view text) override { return Write(STD_OUTPUT_HANDLE, text); }
  void Err(std::string_view text) override { Write(STD_ERROR_HANDLE, text); }
  void Wait() override { WaitForSingleObject(stop_watching, INFINITE); }
  void EndWait() override { SetEvent(stop_watching); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> texts = vantrel::console::Arguments(argc, argv);
  const std::vector<std::string_view> args(texts.begin(), texts.end());
  // Only a watch outlives Ctrl+C, to end as it should.
  if (listing::ParseOptions(args) == listing::Mode::kWatch) {
    stop_watching = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!stop_watching) {
      Write(STD_ERROR_HANDLE, "vantrel-list: CreateEventW failed (system error " +
                                  std::to_string(GetLastError()) + ")\n");
      return listing::kFailed;
    }
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  }
  ProgramConsole console;
  return listing::Run(args, console);
}

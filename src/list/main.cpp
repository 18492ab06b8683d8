// vantrel-list: the displays of the desktop, as a table for people or JSON
// for scripts, once or at every change (see listing::Usage()).
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "listing.h"
#include "vantrel/displays/json.h"

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

int Watch() {
  stop_watching = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!stop_watching) return 1;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  // The first line is the displays as the watch starts; a change told before
  // it is written waits for it, and is not in it: Current() takes in an
  // event only once its callback has returned. The lines carry whole
  // displays, so the watcher reads the modes too.
  std::mutex order;
  std::atomic<bool> gone{false};
  std::unique_lock first(order);
  vantrel::DisplayWatcher watcher(
      [&](const vantrel::DisplayChanges& changes) {
        const std::lock_guard after_first(order);
        if (gone) return;
        if (!Write(STD_OUTPUT_HANDLE, vantrel::json::ChangeLine(changes))) {
          gone = true;
          SetEvent(stop_watching);
        }
      },
      {.snapshot = {.modes = true}});
  const bool started = Write(STD_OUTPUT_HANDLE, vantrel::json::SnapshotLine(watcher.Current()));
  first.unlock();
  if (!started) return 0;
  // Nothing to do until a change, Ctrl+C, or the output is found closed.
  WaitForSingleObject(stop_watching, INFINITE);
  watcher.Stop();
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> texts = vantrel::console::Arguments(argc, argv);
  const std::vector<std::string_view> args(texts.begin(), texts.end());
  const auto mode = listing::ParseOptions(args);
  if (!mode) {
    Write(STD_ERROR_HANDLE, listing::Usage());
    return 2;
  }
  try {
    switch (*mode) {
      case listing::Mode::kHelp:
        return Write(STD_OUTPUT_HANDLE, listing::Usage()) ? 0 : 1;
      case listing::Mode::kTable:
        return Write(STD_OUTPUT_HANDLE, listing::Table(vantrel::Displays::Take())) ? 0 : 1;
      case listing::Mode::kJson:
        return Write(STD_OUTPUT_HANDLE, vantrel::json::Document(vantrel::Displays::Take())) ? 0 : 1;
      case listing::Mode::kWatch:
        return Watch();
    }
  } catch (const vantrel::Failure& f) {
    Write(STD_ERROR_HANDLE, std::string("vantrel-list: ") + f.what() + "\n");
  }
  return 1;
}

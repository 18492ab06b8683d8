// vantrel-layout: shows, saves and sets the layout of the displays, and
// never leaves a black screen: a new layout is kept only when the user says
// so in time (see layout_tool::Usage()).
#include <windows.h>

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "layout_tool.h"

namespace {

using layout_tool::Reply;

using vantrel::console::Utf16;
using vantrel::console::Utf8;
using vantrel::console::Write;

vantrel::Error Failed(const char* what, const std::string& path) {
  const DWORD code = GetLastError();
  return {vantrel::ErrorCode::kSystem, code,
          std::string(what) + " " + path + " failed (system error " + std::to_string(code) + ")"};
}

// Set by Ctrl+C, Ctrl+Break or the console closing: the wait for an answer
// ends, and the layout from before is put back.
HANDLE interrupted = nullptr;
// Set once the command is done: a console that closes waits for it.
HANDLE finished = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  SetEvent(interrupted);
  // Windows ends the process when this returns from a close, log-off or
  // shut-down, and gives it 5 s at most: the revert takes that time.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    WaitForSingleObject(finished, 4500);
  }
  return TRUE;  // Ctrl+C must not end the process before it reverts
}

// A line of stdin, read by a thread of its own: a read of a console or a
// pipe has no time-out, the wait for it has. The thread is left blocked in
// its read when the time is up; the process ends anyway.
struct LineRead {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Reply reply;
};

DWORD WINAPI ReadLine(void* context) {
  auto& read = *static_cast<LineRead*>(context);
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::string line;
  bool ended = false;
  DWORD mode = 0;
  if (GetConsoleMode(in, &mode)) {
    std::wstring typed;
    wchar_t buffer[256];
    DWORD got = 0;
    while (!ended && ReadConsoleW(in, buffer, 256, &got, nullptr) && got > 0) {
      typed.append(buffer, got);
      if (const auto end = typed.find(L'\n'); end != typed.npos) {
        typed.resize(end);
        ended = true;
      }
    }
    line = Utf8(typed);
  } else {
    char c = 0;
    DWORD got = 0;
    while (!ended && ::ReadFile(in, &c, 1, &got, nullptr) && got == 1) {
      if (c == '\n') {
        ended = true;
      } else {
        line += c;
      }
    }
  }
  // A last line without its end is a line too.
  if (ended || !line.empty()) read.reply = {Reply::kLine, line};
  SetEvent(read.ready);
  return 0;
}

class WindowsConsole final : public layout_tool::Console {
 public:
  bool Out(std::string_view text) override { return Write(STD_OUTPUT_HANDLE, text); }
  void Err(std::string_view text) override { Write(STD_ERROR_HANDLE, text); }

  vantrel::Result<std::string> ReadFile(const std::string& path) override {
    const HANDLE file = CreateFileW(Utf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failed("opening", path);
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) {
      text.append(buffer, got);
    }
    const vantrel::Error error = Failed("reading", path);
    CloseHandle(file);
    if (!ok) return error;
    return text;
  }

  vantrel::Result<void> WriteFile(const std::string& path, std::string_view text) override {
    const HANDLE file = CreateFileW(Utf16(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failed("creating", path);
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    const vantrel::Error error = Failed("writing", path);
    CloseHandle(file);
    if (!ok) return error;
    return {};
  }

  Reply Ask(std::string_view question, int seconds) override {
    if (WaitForSingleObject(interrupted, 0) == WAIT_OBJECT_0) return {Reply::kInterrupted, {}};
    Err(question);
    static LineRead* const read = new LineRead;
    if (const HANDLE thread = CreateThread(nullptr, 0, ReadLine, read, 0, nullptr)) {
      CloseHandle(thread);
    } else {
      SetEvent(read->ready);  // no way to read: as the end of input
    }
    // Ctrl+C first: of two at once, it is the one that tells why.
    const HANDLE waits[] = {interrupted, read->ready};
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, static_cast<DWORD>(seconds) * 1000);
    Reply reply;
    if (woke == WAIT_OBJECT_0 + 1) {
      reply = read->reply;
    } else {
      reply.how = woke == WAIT_TIMEOUT ? Reply::kTimeout : Reply::kInterrupted;
    }
    if (reply.how != Reply::kLine) Err("\n");  // nothing ended the question's line
    return reply;
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::optional<layout_tool::Options> options =
      vantrel::console::ParsedArguments(argc, argv, "vantrel-layout", layout_tool::ParseArguments);
  if (!options) return layout_tool::kBadUsage;
  WindowsConsole console;
  interrupted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const layout_tool::Command command = options->command;
  if (command == layout_tool::Command::kApply || command == layout_tool::Command::kSet ||
      command == layout_tool::Command::kRevert) {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  }
  int code = layout_tool::kFailed;
  try {
    vantrel::LayoutChanger changer;
    code = layout_tool::Run(*options, console, changer);
  } catch (const std::exception& e) {
    console.Err(std::string("vantrel-layout: ") + e.what() + "\n");
  }
  SetEvent(finished);
  return code;
}

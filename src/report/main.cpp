// Vantrel.exe: the report window is the program's only entry. The exit code is
// 0, or says why the window could not be made (StartFailure::ExitCode).
#include <windows.h>

#include "form1_window.h"
#include "startup_marks.h"
#include "vantrel/platform/user32_display_service.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  report::StartupMark("entry");
  report::Form1Window window(instance, vantrel::platform::User32DisplayService());
  return window.Run(show_command);
}

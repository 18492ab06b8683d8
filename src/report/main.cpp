// Vantrel.exe: the report window is the program's only entry.
#include <windows.h>

#include "report/form1_window.h"
#include "report/startup_marks.h"
#include "vantrel/platform/user32_display_service.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  vantrel::ui::StartupMark("entry");
  vantrel::ui::Form1Window window(instance, vantrel::platform::User32DisplayService());
  return window.Run(show_command);
}

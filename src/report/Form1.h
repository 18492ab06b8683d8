// The report window's logic: on load, one line per monitor into the text box;
// Exit ends the program. The window itself is built by the Win32 layer from
// the layout in Form1_layout.h, which calls these handlers.
#pragma once

#include "report_toolkit.h"
#include "vantrel/platform/display_service.h"

namespace report {

class Form1 {
 public:
  Form1(vantrel::platform::DisplayService& service, TextBox& box, Application& app)
      : service_(service), txtMonitorInfo(box), app_(app) {}

  // Runs once, before the window is first shown. Never fails: a line that
  // cannot be built is left out and the window opens all the same.
  void Form_Load() noexcept;
  void cmdOK_Click();

 private:
  vantrel::platform::DisplayService& service_;
  TextBox& txtMonitorInfo;
  Application& app_;
};

}  // namespace report

#include "Form1.h"

#include <memory>
#include <string>

#include "vantrel/base/attempt.h"
#include "vantrel/monitors/clsMonitors.h"

namespace report {

using vantrel::Attempt;
using vantrel::clsMonitors;

void Form1::Form_Load() noexcept {
  std::unique_ptr<clsMonitors> monitors;
  Attempt([&] { monitors = std::make_unique<clsMonitors>(service_); });
  Attempt([&] { txtMonitorInfo.Text(""); });
  if (!monitors) return;  // no list could be made: the box stays empty
  std::shared_ptr<clsMonitors::Collection> list;
  Attempt([&] { list = monitors->Monitors(); });
  if (!list) return;
  for (const auto& m : *list) {
    // Each line is appended to the text as it stands in the box, so a line
    // that cannot be built costs that line only.
    Attempt([&] {
      std::string line = txtMonitorInfo.Text();
      const std::string name = m->Monitor();
      const auto left = m->Left(), top = m->Top(), width = m->Width(), height = m->Height();
      line += name + ": (" + std::to_string(left) + "," + std::to_string(top) + ") - (" +
              std::to_string(width) + "," + std::to_string(height) + ")\r\n";
      txtMonitorInfo.Text(line);
    });
  }
}

void Form1::cmdOK_Click() { app_.End(); }

}  // namespace report

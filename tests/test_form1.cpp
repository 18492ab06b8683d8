#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "Form1.h"
#include "simulated_display_service.h"
#include "toolkit_doubles.h"

namespace report {
namespace {

using namespace vantrel::platform;

using vantrel::testing_doubles::FakeApplication;
using vantrel::testing_doubles::FakeTextBox;

std::string Report(SimulatedDisplayService& svc, FakeTextBox& box) {
  FakeApplication app;
  Form1 form(svc, box, app);
  form.Form_Load();
  return box.text;
}

TEST(Form1, WritesOneLinePerMonitorInListOrder) {
  SimulatedDisplayService svc(
      SimulatedLayout::ForMonitors({{0, 0, 800, 600}, {-640, 0, 0, 480}, {-800, -200, -640, 0}}));
  // GCC 12 at -O3 takes these for overlapping copies: a false report.
#ifndef __clang__
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
  svc.layout().adapters[0].monitors[0].description = "A";
  svc.layout().adapters[1].monitors[0].description = "B";
#ifndef __clang__
#pragma GCC diagnostic pop
#endif
  svc.layout().adapters[2].monitors[0].description = "";
  FakeTextBox box;
  EXPECT_EQ(Report(svc, box),
            "Default Monitor: (-800,-200) - (160,200)\r\n"
            "B: (-640,0) - (640,480)\r\n"
            "A (Primary Monitor): (0,0) - (800,600)\r\n");
}

TEST(Form1, AnEmptyListLeavesTheBoxEmpty) {
  SimulatedDisplayService svc;
  svc.layout().metrics[SM_CMONITORS] = 1;  // monitors, but no adapter
  FakeTextBox box;
  EXPECT_EQ(Report(svc, box), "");
}

TEST(Form1, ShowsTheStoredWidthNotRightMinusLeft) {
  SimulatedDisplayService svc(SimulatedLayout::ForMonitors({{INT32_MIN, 0, INT32_MAX, 10}}));
  FakeTextBox box;
  EXPECT_EQ(Report(svc, box), "Generic Monitor 1: (-2147483648,0) - (0,10)\r\n");
}

TEST(Form1, EachLineIsAppendedToTheTextInTheBox) {
  SimulatedDisplayService svc(
      SimulatedLayout::ForMonitors({{0, 0, 800, 600}, {800, 0, 1600, 600}}));
  FakeTextBox box;
  box.fail_store = 1;  // the first line is lost; the box keeps going
  EXPECT_EQ(Report(svc, box), "Generic Monitor 2: (800,0) - (800,600)\r\n");
  FakeTextBox cleared;
  cleared.fail_store = 0;  // clearing fails: the design text stays in front
  EXPECT_EQ(Report(svc, cleared).substr(0, 5), "Text1");
}

TEST(Form1, ExitEndsTheProgram) {
  SimulatedDisplayService svc;
  FakeTextBox box;
  FakeApplication app;
  Form1 form(svc, box, app);
  EXPECT_THROW(form.cmdOK_Click(), std::runtime_error);
}

}  // namespace
}  // namespace report

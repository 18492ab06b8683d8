#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "report/Form1.h"
#include "report/Form1_layout.h"
#include "simulated_display_service.h"
#include "toolkit_doubles.h"

namespace vantrel::ui {
namespace {

using namespace platform;
using platform::SimulatedDisplayService;
using platform::SimulatedLayout;

using testing_doubles::FakeApplication;
using testing_doubles::FakeTextBox;

std::string Report(SimulatedDisplayService& svc, FakeTextBox& box) {
  FakeApplication app;
  Form1 form(svc, box, app);
  form.Form_Load();
  return box.text;
}

TEST(Form1, WritesOneLinePerMonitorInListOrder) {
  SimulatedDisplayService svc(
      SimulatedLayout::ForMonitors({{0, 0, 800, 600}, {-640, 0, 0, 480}, {-800, -200, -640, 0}}));
  svc.layout().adapters[0].monitors[0].description = "A";
  svc.layout().adapters[1].monitors[0].description = "B";
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

TEST(Form1Layout, PixelsAt96And144Dpi) {
  EXPECT_EQ(TwipsToPixels(Form1Layout::kClient.width, 96), 693);
  EXPECT_EQ(TwipsToPixels(Form1Layout::kClient.height, 96), 425);
  EXPECT_EQ(TwipsToPixels(Form1Layout::cmdOK.left, 96), 552);
  EXPECT_EQ(TwipsToPixels(Form1Layout::cmdOK.height, 96), 25);
  EXPECT_EQ(TwipsToPixels(Form1Layout::kClient.width, 144), 1040);  // 1039.5 rounds up
  EXPECT_EQ(PointsToPixels(Form1Layout::kTextFontPoints, 96), 21);
  EXPECT_EQ(PointsToPixels(Form1Layout::kTextFontPoints, 144), 32);
}

}  // namespace
}  // namespace vantrel::ui

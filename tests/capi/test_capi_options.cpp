// The C interface's one rule for options, on the simulated twin: a struct
// zeroed but for its size means what null means.
#include <gtest/gtest.h>

#include "simulated_capi_system.h"
#include "vantrel/vantrel_c.h"

namespace vantrel::capi {
namespace {

TEST(CapiOptions, ZeroedSnapshotOptionsReadTheModesAsNullDoes) {
  const auto layout = [] { return platform::SimulatedDisplays::FromRects({{0, 0, 1920, 1080}}); };
  SimulatedSystem system(layout(), layout());
  UseSystem(&system);
  vantrel_snapshot_options zeroed{};
  zeroed.size = sizeof zeroed;
  vantrel_snapshot_options without = zeroed;
  without.without_modes = 1;
  const struct {
    const char* what;
    const vantrel_snapshot_options* options;
    bool modes;
  } cases[] = {{"null", nullptr, true}, {"zeroed", &zeroed, true}, {"without", &without, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    vantrel_snapshot* snapshot = nullptr;
    ASSERT_EQ(vantrel_snapshot_take(c.options, &snapshot), VANTREL_OK);
    vantrel_display d{};
    d.size = sizeof d;
    EXPECT_EQ(vantrel_snapshot_display(snapshot, 0, &d), VANTREL_OK);
    EXPECT_EQ(d.mode_count > 0, c.modes);
    vantrel_snapshot_free(snapshot);
  }
  UseSystem(nullptr);
}

}  // namespace
}  // namespace vantrel::capi

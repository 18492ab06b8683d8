# A whole layout set under Wine on the three-monitor layout: ApplyLayout
# against the same ChangeDisplaySettingsEx calls made bare, with the resets
# and a watcher's events per apply (scripts/bench.sh runs it).
add_executable(apply_bench apply_bench.cpp)
target_link_libraries(apply_bench PRIVATE vantrel_displays_watcher vantrel_displays_layouts_internal
  vantrel_testing_probe user32)

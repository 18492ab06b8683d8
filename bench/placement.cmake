# A window's place under Wine on the three-monitor layout: Fit beside a
# snapshot, and SavePlacement + RestorePlacement against the bare calls with
# a snapshot each (scripts/bench.sh runs it).
add_executable(placement_bench placement_bench.cpp)
target_link_libraries(placement_bench PRIVATE vantrel_displays user32)

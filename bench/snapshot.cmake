# A display snapshot with every fact against the same calls made straight,
# and vantrel-list --json against a bare console program making those calls,
# under Wine on the three-monitor layout (scripts/bench.sh runs both).
add_executable(snapshot_bench snapshot_bench.cpp)
target_link_libraries(snapshot_bench PRIVATE vantrel_displays user32 gdi32 shcore)
add_executable(bare_list bare_list.cpp)
target_link_libraries(bare_list PRIVATE user32 gdi32 shcore)
target_link_options(bare_list PRIVATE -s)

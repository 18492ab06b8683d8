# A display snapshot with every fact against the same calls made straight,
# and vantrel-list --json against a bare console program making those calls,
# under Wine on the three-monitor layout (scripts/bench.sh runs both).
add_executable(snapshot_bench snapshot_bench.cpp)
target_link_libraries(snapshot_bench PRIVATE vantrel_displays user32 gdi32 shcore)
add_executable(bare_list bare_list.cpp)
target_link_libraries(bare_list PRIVATE user32 gdi32 shcore)
target_link_options(bare_list PRIVATE -s)

# A snapshot through vantrel.dll's C interface against Displays::Take in the
# same process; built beside vantrel.dll, which it loads.
add_executable(capi_bench capi_bench.cpp)
target_link_libraries(capi_bench PRIVATE vantrel_capi vantrel_displays)
set_target_properties(capi_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

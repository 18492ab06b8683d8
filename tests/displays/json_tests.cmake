# The JSON of snapshots and changes (vantrel/displays/json.h), natively: what
# vantrel-list prints with --json and --watch and what vantrel.dll hands out.
vantrel_add_test_suite(json_tests ${CMAKE_CURRENT_LIST_DIR}/test_json.cpp)
target_link_libraries(json_tests PRIVATE vantrel_displays_watcher vantrel_displays_internal)

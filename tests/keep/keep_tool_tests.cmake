# vantrel-keep: its arguments, the memory's file, forget, and the keeper's
# loop, natively against the simulated system, store and events.
vantrel_add_test_suite(keep_tool_tests keep/test_keep_tool.cpp)
target_link_libraries(keep_tool_tests PRIVATE vantrel_keep_tool)

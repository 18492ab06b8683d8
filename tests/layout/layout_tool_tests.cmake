# vantrel-layout: its arguments, the layout `set` asks for, every outcome's
# exit code and text, natively against the simulated system; the program
# itself under Wine on the three-monitor layout (tests/e2e/run-layout.sh).
vantrel_add_test_suite(layout_tool_tests layout/test_layout_tool.cpp)
target_link_libraries(layout_tool_tests PRIVATE vantrel_layout_tool)


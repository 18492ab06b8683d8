# vantrel-layout: its arguments, the layout `set` asks for, every outcome's
# exit code and text, natively against the simulated system; the program
# itself under Wine on the three-monitor layout (tests/e2e/run-layout.sh).
vantrel_add_test_suite(layout_tool_tests layout/test_layout_tool.cpp)
target_link_libraries(layout_tool_tests PRIVATE vantrel_layout_tool)

if(WIN32)
  add_test(NAME layout_three_monitors
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-layout.sh ${CMAKE_BINARY_DIR})
  # Alone: it times how soon an unanswered change is put back, and takes a
  # second and a half without news as a watch's last word.
  set_tests_properties(layout_three_monitors PROPERTIES RUN_SERIAL TRUE LABELS e2e)
endif()

# vantrel-keep: its arguments, the memory's file, forget, and the keeper's
# loop, natively against the simulated system, store and events; the program
# under Wine, its processes meeting (tests/e2e/run-keep.sh), and another
# program's windows put back when a display returns (tests/e2e/run-keep-back.sh).
vantrel_add_test_suite(keep_tool_tests keep/test_keep_tool.cpp)
target_link_libraries(keep_tool_tests PRIVATE vantrel_keep_tool)

if(WIN32)
  add_test(NAME keep_one_monitor
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-keep.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(keep_one_monitor PROPERTIES LABELS e2e)

  # The windows the keeper follows, of a process of their own.
  add_executable(keep_windows e2e/keep_windows.cpp)
  add_dependencies(keep_windows vantrel-keep vantrel-layout)
  add_test(NAME keep_three_monitors
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-keep-back.sh ${CMAKE_BINARY_DIR})
  # Alone: it times how soon the windows are back after the display returns.
  set_tests_properties(keep_three_monitors PROPERTIES RUN_SERIAL TRUE LABELS e2e)
endif()

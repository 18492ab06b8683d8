# The watcher: the difference, the settling and the watcher's pump over the
# simulated event source natively; the watcher over the real window under
# Wine on the three-monitor layout.
vantrel_add_test_suite(watcher_tests
  ${CMAKE_CURRENT_LIST_DIR}/test_watcher_changes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_watcher_settle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_watcher_pump.cpp)
target_link_libraries(watcher_tests PRIVATE vantrel_displays_watcher_internal)

if(WIN32)
  # Against Wine's user32 on three monitors, the layout changed from inside
  # the test (Wine tells of no change made from outside it).
  # And its real window over simulated facts, for what Wine cannot change.
  add_executable(watcher_wine_tests ${CMAKE_CURRENT_LIST_DIR}/../wine/test_watcher.cpp)
  target_include_directories(watcher_wine_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(watcher_wine_tests PRIVATE vantrel_displays_watcher_internal
                        vantrel_testing vantrel_testing_probe GTest::gtest_main)
  vantrel_add_layout_test(watcher_three_monitors watcher_wine_tests three)
  # It counts the watcher's wake-ups over seconds of real time: alone, so that
  # another test's load cannot hold back its timer.
  set_tests_properties(watcher_three_monitors PROPERTIES RUN_SERIAL TRUE)
endif()

# A window's place: natively against simulated windows and displays.
vantrel_add_test_suite(placement_tests ${CMAKE_CURRENT_LIST_DIR}/test_placement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_simulated_windows.cpp)
target_link_libraries(placement_tests PRIVATE vantrel_displays_internal vantrel_platform_internal)

if(WIN32)
  # Against Wine's user32 on three monitors, the primary's work area narrowed
  # by a bar on its left edge: EnsureVisible, and saving and restoring there.
  add_executable(placement_wine_tests ${CMAKE_CURRENT_LIST_DIR}/../wine/test_placement.cpp)
  target_link_libraries(placement_wine_tests PRIVATE vantrel_displays vantrel_platform_internal
    GTest::gtest_main)
  vantrel_add_layout_test(placement_three_monitors placement_wine_tests --primary-bar 100 three)
endif()

if(WIN32)
  # End to end: examples/remember_window built from a Development-only
  # install, restarted on the three-monitor layout, at 144 DPI and on one
  # monitor.
  add_test(NAME placement_remember_window
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-placement.sh ${CMAKE_BINARY_DIR}
                   ${PROJECT_SOURCE_DIR})
  # Alone: it gives Wine a bounded time to take in an xrandr change, which a
  # test beside it on two busy cores once made too short.
  set_tests_properties(placement_remember_window PROPERTIES RUN_SERIAL TRUE LABELS e2e)
endif()

# The display facts: natively against the simulated facts service; under Wine
# against the real user32 on the three-monitor layout.
vantrel_add_test_suite(display_tests
  ${CMAKE_CURRENT_LIST_DIR}/test_displays.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_display_lookups.cpp)
target_link_libraries(display_tests PRIVATE vantrel_displays)

if(WIN32)
  # Every fact against Wine's user32 on three monitors, the primary's work
  # area narrowed by a bar on its left edge. run-on-layout.sh exports the
  # layout the test checks against (VANTREL_LAYOUT, VANTREL_PRIMARY_BAR).
  add_executable(display_wine_tests ${CMAKE_CURRENT_LIST_DIR}/../wine/test_displays.cpp)
  target_link_libraries(display_wine_tests PRIVATE vantrel_displays GTest::gtest_main)
  vantrel_add_layout_test(displays_three_monitors display_wine_tests --primary-bar 100 three)

  # A clone group: the primary's picture on a second output too.
  add_executable(clone_wine_tests ${CMAKE_CURRENT_LIST_DIR}/../wine/test_clones.cpp)
  target_link_libraries(clone_wine_tests PRIVATE vantrel_displays GTest::gtest_main)
  add_test(NAME displays_clones
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-clones.sh $<TARGET_FILE:clone_wine_tests>)
  set_tests_properties(displays_clones PROPERTIES LABELS e2e)
endif()

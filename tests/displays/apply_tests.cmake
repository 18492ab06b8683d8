# Setting a layout (vantrel/displays/apply.h), natively against the simulated
# system.
vantrel_add_test_suite(apply_tests ${CMAKE_CURRENT_LIST_DIR}/test_apply.cpp)
target_link_libraries(apply_tests PRIVATE vantrel_displays vantrel_displays_internal)

if(WIN32)
  # Against Wine's user32 on three monitors: a mode changed and a display
  # detached, then the layout from before reverted from the file, one reset
  # each, and one event each for a watcher in the same process.
  add_executable(apply_wine_tests ${CMAKE_CURRENT_LIST_DIR}/../wine/test_apply.cpp)
  target_link_libraries(apply_wine_tests PRIVATE vantrel_displays_watcher vantrel_testing_probe
                        GTest::gtest_main)
  vantrel_add_layout_test(apply_three_monitors apply_wine_tests three)
  # Alone: it takes a second and a half without news as the watcher's word
  # that nothing more comes, which another test's load could make untrue.
  set_tests_properties(apply_three_monitors PROPERTIES RUN_SERIAL TRUE)
endif()

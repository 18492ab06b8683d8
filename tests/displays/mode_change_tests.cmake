# A display's mode for a while (vantrel/displays/mode_change.h): natively
# against the simulated system, the guard at exit run directly; under Wine on
# the three-monitor layout, a mode set and put back, and a child process that
# forgets its change.
vantrel_add_test_suite(mode_change_tests ${CMAKE_CURRENT_LIST_DIR}/test_mode_change.cpp)
target_link_libraries(mode_change_tests PRIVATE vantrel_displays_internal)

if(WIN32)
  add_executable(mode_change_wine_tests ${CMAKE_CURRENT_LIST_DIR}/../wine/test_mode_change.cpp)
  target_link_libraries(mode_change_wine_tests PRIVATE vantrel_displays GTest::gtest)
  vantrel_add_layout_test(mode_change_three_monitors mode_change_wine_tests three)
endif()

# Choosing a display's mode (vantrel/displays/modes.h): pure, so natively on
# snapshots made by hand.
vantrel_add_test_suite(mode_tests ${CMAKE_CURRENT_LIST_DIR}/test_modes.cpp)
target_link_libraries(mode_tests PRIVATE vantrel_displays)

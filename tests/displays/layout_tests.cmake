# The layout and its JSON (vantrel/displays/layout.h), natively against the
# simulated system.
vantrel_add_test_suite(layout_tests ${CMAKE_CURRENT_LIST_DIR}/test_layout.cpp)
target_link_libraries(layout_tests PRIVATE vantrel_displays)

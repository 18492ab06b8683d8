# A display's mode for a while (vantrel/displays/mode_change.h): natively
# against the simulated system, the guard at exit run directly.
vantrel_add_test_suite(mode_change_tests ${CMAKE_CURRENT_LIST_DIR}/test_mode_change.cpp)
target_link_libraries(mode_change_tests PRIVATE vantrel_displays_internal)

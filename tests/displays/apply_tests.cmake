# Setting a layout (vantrel/displays/apply.h), natively against the simulated
# system.
vantrel_add_test_suite(apply_tests ${CMAKE_CURRENT_LIST_DIR}/test_apply.cpp)
target_link_libraries(apply_tests PRIVATE vantrel_displays)

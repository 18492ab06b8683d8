# The desktop's memory (vantrel/displays/desktop.h), natively: its file and
# bounds, and the keeper over the simulated system, its events and store.
vantrel_add_test_suite(desktop_tests ${CMAKE_CURRENT_LIST_DIR}/test_desktop_memory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_desktop_keeper.cpp)
target_link_libraries(desktop_tests PRIVATE vantrel_displays_desktop)

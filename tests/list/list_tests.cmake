# vantrel-list: its options and table, natively (its JSON is the library's,
# tests/displays/json_tests.cmake); the program itself under Wine on
# the three-monitor layout (tests/e2e/run-list.sh).
vantrel_add_test_suite(listing_tests list/test_listing.cpp)
target_link_libraries(listing_tests PRIVATE vantrel_listing)

if(WIN32)
  add_executable(change_display e2e/change_display.cpp)
  target_link_libraries(change_display PRIVATE vantrel_testing_probe)
  add_test(NAME list_three_monitors
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-list.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(list_three_monitors PROPERTIES LABELS e2e)
  add_dependencies(change_display vantrel-list)
endif()

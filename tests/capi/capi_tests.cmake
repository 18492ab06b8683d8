# The C interface. Natively: the caller's DPI awareness and the options'
# rule on the simulated twin. Under Wine: vantrel.dll as programs outside
# this repository use it (tests/e2e/run-capi.sh), its ABI pinned in their
# builds (abi_pin.h).
if(NOT WIN32)
  vantrel_add_test_suite(capi_tests ${CMAKE_CURRENT_LIST_DIR}/test_capi_dpi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_capi_calls.cpp)
  # The layouts' C++ calls write what the C calls are checked against.
  target_link_libraries(capi_tests PRIVATE vantrel_capi vantrel_displays vantrel_displays_desktop
                                           vantrel_displays_layouts_internal)
else()
  add_test(NAME capi_three_monitors
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-capi.sh ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(capi_three_monitors PROPERTIES LABELS e2e)
endif()

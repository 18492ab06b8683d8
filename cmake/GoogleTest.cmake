# GoogleTest: Debian's prebuilt libraries for the host build; for the MinGW
# build, Debian's googletest sources compiled with the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(VANTREL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VANTREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Parsing gtest/gtest.h is about a third of what a test file costs to compile
# (more with <windows.h>'s build), so it is precompiled once per build and
# every test program reuses that one. Its owner is a target of its own, which
# builds nothing else, so that no test program waits for another.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/gtest_pch.cpp CONTENT "")
add_library(vantrel_gtest_pch OBJECT ${CMAKE_BINARY_DIR}/gtest_pch.cpp)
target_link_libraries(vantrel_gtest_pch PRIVATE GTest::gtest)
target_precompile_headers(vantrel_gtest_pch PRIVATE <gtest/gtest.h>)
function(vantrel_gtest_pch target)
  target_precompile_headers(${target} REUSE_FROM vantrel_gtest_pch)
endfunction()

# One test executable per suite; tests see the library's internals too.
# Natively each test case becomes a CTest test; under Wine a whole executable
# is one test, since every start costs a second.
function(vantrel_add_test_suite name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vantrel_testing vantrel_base_internal
    vantrel_platform_internal vantrel_model_internal GTest::gtest_main)
  if(WIN32)
    target_link_libraries(${name} PRIVATE vantrel_win32_internal)
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} NO_PRETTY_VALUES)
  endif()
endfunction()

# A Windows test program run under Wine on a private multi-monitor X server
# (tests/e2e/run-on-layout.sh TARGET's file ARGS...). The desktop it changes
# or reads is its own X server's and its prefix's, so it runs beside other
# tests; one that times what it checks is made to run alone where it is added.
function(vantrel_add_layout_test name target)
  add_test(NAME ${name}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/run-on-layout.sh $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${name} PROPERTIES LABELS e2e)
endfunction()

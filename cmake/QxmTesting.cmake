# Tests of the context-menu code: plain GoogleTest programs, discovered case by case.
find_package(GTest REQUIRED)
include(GoogleTest)

function(qxm_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE qxm_test_support GTest::gmock GTest::gtest_main)
  veilor_set_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 120)
endfunction()

include(GoogleTest)

# Tests that need no display: discovered case by case.
function(veilor_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE veilor_test_main GTest::gmock)
  veilor_set_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 120)
endfunction()

# Tests that open windows or start the program: run under a private X server,
# with a time limit so that a window left open fails the run instead of hanging it.
function(veilor_add_gui_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE veilor_window_test_main GTest::gmock)
  veilor_set_warnings(${name})
  add_test(NAME ${name}
           COMMAND xvfb-run -a -s "-screen 0 1600x1200x24" $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

if(WIN32)
  # Cross build: the tests run under Wine, one Wine process per test program
  # (starting Wine per case would cost seconds each).
  include(WindowsGoogleTest)

  # One test program with the given main, run under Wine by CTest.
  function(veilor_add_wine_test name main)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE ${main} GTest::gmock)
    veilor_set_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 900 ENVIRONMENT "WINEDEBUG=-all")
  endfunction()

  function(veilor_add_test name)
    veilor_add_wine_test(${name} veilor_test_main ${ARGN})
  endfunction()

  # Window tests: real windows of the Windows toolkit, run under Wine inside
  # the private X server that scripts/test-windows.sh starts.
  function(veilor_add_gui_test name)
    veilor_add_wine_test(${name} veilor_window_test_main ${ARGN})
  endfunction()
  return()
endif()

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
# The limit is for a whole program of cases; the sanitizer build runs them
# several times slower, so it is generous.
function(veilor_add_gui_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE veilor_window_test_main GTest::gmock)
  veilor_set_warnings(${name})
  add_test(NAME ${name}
           COMMAND xvfb-run -a -s "-screen 0 1600x1200x24" $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
endfunction()

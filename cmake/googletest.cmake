# GoogleTest for the tests: the installed package, or else its sources named by
# VESK_GOOGLETEST_SOURCE (a cross build has no package for its target, Debian ships the sources in
# /usr/src/googletest). Without either, GTest::gtest is not defined and the tests are left out.
set(VESK_GOOGLETEST_SOURCE "" CACHE PATH "GoogleTest sources to build when no package is found")

find_package(GTest QUIET)
if(NOT GTest_FOUND AND VESK_GOOGLETEST_SOURCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VESK_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Its own code is not ours to keep free of warnings.
  foreach(lib gtest gtest_main gmock gmock_main)
    if(TARGET ${lib})
      target_compile_options(${lib} PRIVATE $<IF:$<CXX_COMPILER_ID:MSVC>,/w,-w>)
      if(NOT TARGET GTest::${lib})
        add_library(GTest::${lib} ALIAS ${lib})
      endif()
    endif()
  endforeach()
endif()
if(TARGET GTest::gtest)
  include(GoogleTest)
else()
  message(STATUS "GoogleTest not found: the tests are left out")
endif()

# vesk_gtest_tests(<target> <gtest_discover_tests options ...>): each test of a GoogleTest program
# as a test of its own. A cross build cannot list the tests of a program it cannot run, so there
# the program is one test, run whole (scripts/windows runs it under wine).
function(vesk_gtest_tests target)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  else()
    gtest_discover_tests(${target} ${ARGN})
  endif()
endfunction()

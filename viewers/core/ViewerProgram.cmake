# Helpers for the viewer programs.
#
# viewer_add_program(<name> SOURCES <main.cpp ...> [LIBS <libs ...>])
#   A windowed viewer program linked with the plotting core.
# viewer_add_tests(<prefix> <folder> [LIBS <libs ...>] [TEST_PREFIX <text>])
#   One test program per <folder>/*_test.cpp, named <prefix>_<file>, linked with the headless
#   test main and the libraries given, run under the offscreen platform, each test named
#   <prefix>_<file>.<suite>.<test> (or <text><suite>.<test>), and once more under a decimal-comma
#   locale (vesk_tests_under_comma_locale); VESK_EXAMPLES_DIR names the examples folder.

function(viewer_add_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE viewer_core ${ARG_LIBS})
endfunction()

function(viewer_add_tests prefix folder)
  cmake_parse_arguments(ARG "" "TEST_PREFIX" "LIBS" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${folder}/*_test.cpp)
  foreach(test_source ${test_sources})
    get_filename_component(test_name ${test_source} NAME_WE)
    set(test_prefix "${prefix}_${test_name}.")
    if(DEFINED ARG_TEST_PREFIX)
      set(test_prefix "${ARG_TEST_PREFIX}")
    endif()
    add_executable(${prefix}_${test_name} ${test_source})
    target_link_libraries(${prefix}_${test_name} PRIVATE viewer_core vesk_gui_test_main ${ARG_LIBS})
    target_compile_definitions(${prefix}_${test_name} PRIVATE
      VESK_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
    gtest_discover_tests(${prefix}_${test_name} DISCOVERY_TIMEOUT 60
                         TEST_PREFIX "${test_prefix}"
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    vesk_tests_under_comma_locale(${prefix}_${test_name} "${test_prefix}")
  endforeach()
endfunction()

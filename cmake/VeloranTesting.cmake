# GoogleTest for both builds: Debian's package natively, built from its sources
# (/usr/src/googletest) with the cross compiler for Windows.
if(NOT BUILD_TESTING)
  return()
endif()

if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest 1.11 and later define the GTest:: names themselves.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# veloran_add_unit_test(NAME SOURCES... LIBS ...): a GoogleTest program whose
# cases ctest lists one by one (under Wine for the Windows build).
function(veloran_add_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Tests never touch the real user's folders: the path layer and the settings
  # file land in a private tree of the build.
  set(home ${CMAKE_BINARY_DIR}/test-home)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "HOME=${home};XDG_DATA_HOME=${home}/data;XDG_CONFIG_HOME=${home}/config")
endfunction()

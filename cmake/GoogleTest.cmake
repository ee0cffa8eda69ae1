# Natively the system's GoogleTest is used. A cross build has no GoogleTest
# for its target, so it is built here from Debian's googletest sources.
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  set(KOV_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${KOV_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

# kov_add_test(name SOURCES ... LIBRARIES ...): a GoogleTest executable.
# Natively each case is a CTest test of its own. A cross build runs each
# executable once under the emulator, since starting Wine per case is slow.
function(kov_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main kov_warnings)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

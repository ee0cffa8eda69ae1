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

# kov_add_test(name SOURCES ... LIBRARIES ... [ENVIRONMENT VAR=value ...]):
# a GoogleTest executable whose tests run with the given environment.
# Natively each case is a CTest test of its own. A cross build runs each
# executable once under the emulator, since starting Wine per case is slow.
function(kov_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main kov_warnings)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix)
    if(ARG_ENVIRONMENT)
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
    endif()
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    if(ARG_ENVIRONMENT)
      # gtest_discover_tests' PROPERTIES would split a list value into
      # separate arguments, so the discovered tests get their environment
      # from a script that CTest reads after the one that lists them.
      set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
      file(WRITE ${script}
        "if(${name}_TESTS)\n"
        "  set_tests_properties(\${${name}_TESTS}\n"
        "    PROPERTIES ENVIRONMENT [==[${ARG_ENVIRONMENT}]==])\n"
        "endif()\n")
      set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
    endif()
  endif()
endfunction()

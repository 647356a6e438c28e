# Test executables. Natively every GoogleTest case becomes its own CTest entry.
# Cross-built, each executable runs as one entry under Wine (through the
# emulator wrapper): one Wine process per area keeps the run fast, and a crash
# only takes its own area down.
include(CTest)
include(GoogleTest)

if(BRX_BUILD_TESTS)
  if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# brx_add_test(NAME SOURCES ... LIBS ... [TIMEOUT seconds])
function(brx_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  brx_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS wine
                         ENVIRONMENT "BRX_WINE_TIMEOUT=${T_TIMEOUT}")
  else()
    gtest_discover_tests(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()

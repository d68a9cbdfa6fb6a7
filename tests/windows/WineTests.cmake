# Running the cross-built tests under Wine: a prefix of their own inside the build
# folder (see make-wine-prefix), each program started through wine-run, and the
# loopback host, a Linux program from the Linux build, running their HTTP servers.
set(TANDREL_HOST_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/core CACHE PATH
    "The Linux build whose tests/loopback_host serves the Windows tests")
set(TANDREL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${TANDREL_WINE_PREFIX})

# The prefix maps S: to the sources and B: to the build: paths compiled into the
# tests are named through them.
set(TANDREL_TEST_SOURCE_PATH "S:/tests")
file(RELATIVE_PATH tandrel_build_tests ${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_BINARY_DIR})
set(TANDREL_TEST_BINARY_PATH "B:/${tandrel_build_tests}")

add_custom_command(
  OUTPUT ${TANDREL_WINE_PREFIX}/system.reg
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/make-wine-prefix ${TANDREL_WINE_PREFIX} ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make-wine-prefix
  COMMENT "Making the Wine prefix for the Windows tests")
add_custom_target(wine_prefix ALL DEPENDS ${TANDREL_WINE_PREFIX}/system.reg)

set(tandrel_host_port_file ${TANDREL_WINE_PREFIX}.loopback-host-port)
add_test(NAME LoopbackHostStart COMMAND ${CMAKE_CURRENT_LIST_DIR}/loopback-host start
         ${TANDREL_HOST_BUILD_DIR}/tests/loopback_host ${tandrel_host_port_file})
add_test(NAME LoopbackHostStop COMMAND ${CMAKE_CURRENT_LIST_DIR}/loopback-host stop ${tandrel_host_port_file})
set(tandrel_display_file ${TANDREL_WINE_PREFIX}.display)
add_test(NAME XServerStart COMMAND ${CMAKE_CURRENT_LIST_DIR}/x-server start ${tandrel_display_file})
add_test(NAME XServerStop COMMAND ${CMAKE_CURRENT_LIST_DIR}/x-server stop ${tandrel_display_file})
# Every Windows test runs with both: its HTTP servers and a screen for its windows.
set_tests_properties(LoopbackHostStart XServerStart PROPERTIES FIXTURES_SETUP wine_test_services)
set_tests_properties(LoopbackHostStop XServerStop PROPERTIES FIXTURES_CLEANUP wine_test_services)

# The platform's own tests, beside the core's.
file(GLOB TANDREL_WINDOWS_PLATFORM_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../platform/windows/*Test.cpp)

# Listed when ctest runs, under Wine: building needs no Wine.
function(tandrel_discover_tests target)
  add_dependencies(${target} wine_prefix)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 120 FIXTURES_REQUIRED wine_test_services)
endfunction()

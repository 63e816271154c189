# Host build: the simulated desktop, the unit tests, and the tests that run
# the Windows build's programs under Wine (registered here so that one ctest
# runs everything).
enable_testing()

add_library(quorvel_sim STATIC
  sim/model/ansi.cpp
  sim/model/clock.cpp
  sim/model/colours.cpp
  sim/model/com.cpp
  sim/model/desktop.cpp
  sim/model/desktop_clock.cpp
  sim/model/desktop_density.cpp
  sim/model/desktop_keys.cpp
  sim/model/desktop_shell.cpp
  sim/model/desktop_user.cpp
  sim/model/desktop_windows.cpp
  sim/model/file_system.cpp
  sim/model/focus.cpp
  sim/model/foreground.cpp
  sim/model/keyboard_state.cpp
  sim/model/named_objects.cpp
  sim/model/notification_area.cpp
  sim/model/registry_hive.cpp
  sim/model/shell_restart.cpp
  sim/backend/sim_control.cpp
  sim/backend/sim_form.cpp
  sim/backend/sim_runtime.cpp
  sim/backend/sim_winapi.cpp
  sim/backend/sim_window_facts.cpp)
# The simulation lives beside src/, not in it: it ships nothing.
target_include_directories(quorvel_sim PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quorvel_sim PUBLIC quorvel_logic)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

file(GLOB UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*.cpp tests/conformance/*.cpp)
add_executable(quorvel_unit_tests ${UNIT_TESTS})
# tools: the stand-in shell's rules (tools/shell/standin_keys.h), judged here too.
target_include_directories(quorvel_unit_tests PRIVATE tests tools)
target_link_libraries(quorvel_unit_tests PRIVATE quorvel_sim GTest::gtest_main)
gtest_discover_tests(quorvel_unit_tests DISCOVERY_TIMEOUT 30)

include(cmake/fuzz.cmake)

# The shipped exe's imports against the list of what it may import, with the
# oldest Windows of each (tests/imports); needs the 32-bit Windows build, not Wine.
set(QUORVEL_WIN32_BUILD_DIR ${CMAKE_SOURCE_DIR}/build/windows CACHE PATH
    "The 32-bit Windows build, whose quorvel.exe ships")
find_program(QUORVEL_OBJDUMP NAMES i686-w64-mingw32-objdump REQUIRED)
find_package(Python3 COMPONENTS Interpreter REQUIRED)
add_test(NAME imports.win32
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/imports/check_imports.py
          ${QUORVEL_OBJDUMP} ${QUORVEL_WIN32_BUILD_DIR}/quorvel.exe
          ${CMAKE_SOURCE_DIR}/tests/imports/quorvel-win32.txt)
set_tests_properties(imports.win32 PROPERTIES LABELS imports)
# The checker itself: what it must refuse.
add_test(NAME imports.checker
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/imports/test_check_imports.py)
set_tests_properties(imports.checker PROPERTIES LABELS imports)

# The layers' includes (tests/layering): every #include of src/ and sim/
# against the rules of docs/maintainers.md ("Includes"); and the check itself
# on a planted tree, what it must refuse.
add_test(NAME layering.includes
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/layering/check_layering.py
          ${CMAKE_SOURCE_DIR})
add_test(NAME layering.checker
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/layering/test_check_layering.py)
set_tests_properties(layering.includes layering.checker PROPERTIES LABELS layering)
include(cmake/wine_tests.cmake)

# Benchmarks (bench/run.py); not tests.
add_executable(bench_cleanup bench/cleanup_bench.cpp)
target_link_libraries(bench_cleanup PRIVATE quorvel_sim)
# The reveal's waits on the simulated clock, by kind of shell (bench/reveal_ways.py).
add_executable(bench_reveal_clock bench/reveal_clock_bench.cpp)
target_link_libraries(bench_reveal_clock PRIVATE quorvel_sim)

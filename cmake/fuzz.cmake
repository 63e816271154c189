# The libFuzzer target for the stored setting, built with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and run for a bounded number
# of inputs from the seed corpus.
find_program(QUORVEL_CLANGXX NAMES clang++-14 clang++)
if(NOT QUORVEL_CLANGXX)
  message(FATAL_ERROR "clang++ (Debian's clang-14 and libclang-rt-14-dev) is needed for the fuzz target")
endif()

set(QUORVEL_FUZZ_SOURCES
  ${CMAKE_SOURCE_DIR}/tests/fuzz/icon_mode_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/basic_text.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/keys.cpp
  ${CMAKE_SOURCE_DIR}/src/settings/icon_setting.cpp
  ${CMAKE_SOURCE_DIR}/src/settings/registry.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/ansi.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/clock.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/com.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/desktop.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/desktop_clock.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/desktop_density.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/desktop_keys.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/desktop_shell.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/desktop_user.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/desktop_windows.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/file_system.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/foreground.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/keyboard_state.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/named_objects.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/notification_area.cpp
  ${CMAKE_SOURCE_DIR}/sim/model/registry_hive.cpp
  ${CMAKE_SOURCE_DIR}/sim/backend/sim_winapi.cpp)
set(QUORVEL_FUZZER ${CMAKE_BINARY_DIR}/fuzz/icon_mode_fuzz)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
add_custom_command(OUTPUT ${QUORVEL_FUZZER}
  COMMAND ${QUORVEL_CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
          -fno-sanitize-recover=undefined -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR} ${QUORVEL_FUZZ_SOURCES}
          -o ${QUORVEL_FUZZER}
  DEPENDS ${QUORVEL_FUZZ_SOURCES}
  COMMENT "Building the icon-mode fuzz target with clang")
add_custom_target(fuzz_targets ALL DEPENDS ${QUORVEL_FUZZER})

add_test(NAME fuzz.icon_mode
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
          ${QUORVEL_FUZZER} -runs=30000 -max_len=64 -seed=1
          ${CMAKE_BINARY_DIR}/fuzz-corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/icon_mode)
set_tests_properties(fuzz.icon_mode PROPERTIES LABELS fuzz TIMEOUT 300)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-corpus)

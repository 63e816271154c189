# 32-bit Windows build: quorvel.exe, the stand-in shell and probe used by the
# Wine tests, and the conformance tests of the Win32 backend.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)

add_library(quorvel_win32 STATIC
  src/platform/win32/win32_api.cpp
  src/platform/win32/win32_colours.cpp
  src/platform/win32/win32_runtime.cpp
  src/platform/win32/win32_control.cpp
  src/platform/win32/win32_delete_file.cpp
  src/platform/win32/win32_density.cpp
  src/platform/win32/win32_dialog.cpp
  src/platform/win32/win32_dwm.cpp
  src/platform/win32/win32_file_list.cpp
  src/platform/win32/win32_form.cpp
  src/platform/win32/win32_form_window.cpp
  src/platform/win32/win32_instance.cpp
  src/platform/win32/win32_message_filter.cpp
  src/platform/win32/win32_minimise_all.cpp
  src/platform/win32/win32_shell_wait.cpp
  src/platform/win32/win32_system_library.cpp
  src/platform/win32/win32_turn.cpp
  src/platform/win32/win32_window_facts.cpp
  src/platform/win32/entry.cpp)
target_link_libraries(quorvel_win32 PUBLIC quorvel_logic user32 gdi32 advapi32)
target_compile_definitions(quorvel_win32 PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)

add_executable(quorvel WIN32 src/app/main.cpp src/platform/win32/terminate.cpp src/resources/quorvel.rc)
target_link_libraries(quorvel PRIVATE quorvel_win32)
# Terminal-server aware: on a Remote Desktop host, Windows gives a program
# not marked so a private Windows folder of each user's own from
# GetWindowsDirectory, and the cleanup would clean that folder's TEMP.
target_link_options(quorvel PRIVATE -s -Wl,--tsaware)

add_executable(standin_shell WIN32 tools/shell/standin_shell.cpp)
target_link_libraries(standin_shell PRIVATE user32 gdi32)
target_compile_definitions(standin_shell PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
add_executable(qvprobe tools/shell/qvprobe.cpp tools/shell/qvprobe_layout.cpp)
target_link_libraries(qvprobe PRIVATE user32 gdi32 shell32 psapi)
target_compile_definitions(qvprobe PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)

# A library named after a system one (dwmapi.dll), for the Wine tests to put
# beside a copy of quorvel.exe. In a folder of its own: nothing run from the
# build folder may find it there.
add_library(planted_dll SHARED tools/shell/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES OUTPUT_NAME dwmapi PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted)

add_executable(bench_empty WIN32 bench/empty.cpp)
target_compile_definitions(bench_empty PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
add_executable(bench_window WIN32 bench/window.cpp bench/window.rc)
target_link_libraries(bench_window PRIVATE user32 comctl32)
target_compile_definitions(bench_window PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
# The fair floors: the least show-desktop command, the least resident program,
# the least resident program that reveals on its own button's click.
add_executable(bench_show_desktop WIN32 bench/show_desktop_floor.cpp)
target_link_libraries(bench_show_desktop PRIVATE user32)
target_compile_definitions(bench_show_desktop PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
add_executable(bench_resident WIN32 bench/resident_floor.cpp)
target_link_libraries(bench_resident PRIVATE user32)
target_compile_definitions(bench_resident PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
add_executable(bench_click WIN32 bench/click_floor.cpp)
target_link_libraries(bench_click PRIVATE user32)
target_compile_definitions(bench_click PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL SYSTEM)
# GoogleTest's one use of std::mutex, which the win32 thread model lacks,
# replaced (see the header); found before the library's own custom header.
foreach(library gtest gtest_main)
  target_include_directories(${library} BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/win32/gtest_port)
endforeach()

file(GLOB CONFORMANCE_TESTS CONFIGURE_DEPENDS tests/conformance/*.cpp tests/win32/*.cpp)
add_executable(quorvel_win32_tests ${CONFORMANCE_TESTS})
# Another program's windows for the window rules' conformance test, beside it.
add_executable(quorvel_window_rules_helper tests/win32/helper/window_rules_helper.cpp)
target_compile_definitions(quorvel_window_rules_helper PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
# Another start holding the turn, for the turn's conformance test.
add_executable(quorvel_turn_helper tests/win32/helper/turn_helper.cpp)
target_compile_definitions(quorvel_turn_helper PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(quorvel_turn_helper PRIVATE src)
add_dependencies(quorvel_win32_tests quorvel_window_rules_helper quorvel_turn_helper)
target_include_directories(quorvel_win32_tests PRIVATE tests)
target_link_libraries(quorvel_win32_tests PRIVATE quorvel_win32 gtest_main)
include(cmake/package.cmake)

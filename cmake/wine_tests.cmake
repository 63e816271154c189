# Tests that run the Windows build's programs under Wine, in a virtual desktop
# on Xvfb, on two platforms: a 32-bit prefix (like 32-bit Windows; tests
# e2e.*, wine.conformance) and a 64-bit prefix where the 32-bit program runs
# under WoW64 (like 64-bit Windows; tests e2e64.*, wine64.conformance). The
# labels win32 and win64 pick one platform. The tests of one prefix share it,
# made once by its prefix test, and run one at a time; two prefixes, each
# with its own display, run side by side (ctest --parallel 2): most of a Wine
# test is waiting for windows, so two keep a two-core machine busy.
find_package(Python3 COMPONENTS Interpreter REQUIRED)

file(GLOB QUORVEL_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)

# One prefix and the modules run in it. `lane` names the prefix's lock and
# fixture; `modules` is the list of module names (test_NAME.py), or ALL.
function(quorvel_wine_lane arch lane e2e wine prefix conformance modules)
  set(fixture wine_prefix_${lane})
  set(env
    QUORVEL_WINDOWS_BUILD_DIR=${QUORVEL_WINDOWS_BUILD_DIR}
    QUORVEL_WINE_ARCH=${arch}
    QUORVEL_WINE_PREFIX=${CMAKE_BINARY_DIR}/wine/${prefix}
    QUORVEL_ARTEFACTS=${CMAKE_SOURCE_DIR}/artefacts)

  set(prefix_test ${e2e}.prefix)
  if(NOT lane STREQUAL arch)
    set(prefix_test ${e2e}.prefix-${lane})
  endif()
  add_test(NAME ${prefix_test}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/make_prefix.py)
  set_tests_properties(${prefix_test} PROPERTIES FIXTURES_SETUP ${fixture} LABELS "e2e;${arch}"
    ENVIRONMENT "${env}" RESOURCE_LOCK wine_${lane} TIMEOUT 1500)

  if(conformance)
    add_test(NAME ${wine}.conformance
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/run_conformance.py
              ${QUORVEL_WINDOWS_BUILD_DIR}/quorvel_win32_tests.exe)
    set_tests_properties(${wine}.conformance PROPERTIES FIXTURES_REQUIRED ${fixture}
      LABELS "e2e;wine;${arch}" ENVIRONMENT "${env}" RESOURCE_LOCK wine_${lane} TIMEOUT 300)
  endif()

  foreach(script ${QUORVEL_E2E_TESTS})
    get_filename_component(name ${script} NAME_WE)
    string(REPLACE "test_" "" name ${name})
    if(NOT modules STREQUAL "ALL" AND NOT name IN_LIST modules)
      continue()
    endif()
    add_test(NAME ${e2e}.${name} COMMAND ${Python3_EXECUTABLE} -m unittest -v ${script})
    set_tests_properties(${e2e}.${name} PROPERTIES FIXTURES_REQUIRED ${fixture}
      LABELS "e2e;${arch}" ENVIRONMENT "${env}" RESOURCE_LOCK wine_${lane} TIMEOUT 600
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
  endforeach()
endfunction()

# Which platforms: both by default, each in one prefix. A host build whose
# Windows build dir holds the 64-bit build (the host-wine64 preset, for
# kernels that run no 32-bit programs) runs them in the 64-bit platform only,
# in two 64-bit prefixes side by side: the reveal tests (the longest) with a
# few short ones in one, everything else in the other.
set(QUORVEL_WINE_PLATFORMS "win32;win64" CACHE STRING "Wine prefixes to test in: win32, win64 or both")
if("win32" IN_LIST QUORVEL_WINE_PLATFORMS)
  quorvel_wine_lane(win32 win32 e2e wine prefix ON ALL)
endif()
if("win64" IN_LIST QUORVEL_WINE_PLATFORMS AND "win32" IN_LIST QUORVEL_WINE_PLATFORMS)
  quorvel_wine_lane(win64 win64 e2e64 wine64 prefix64 ON ALL)
elseif("win64" IN_LIST QUORVEL_WINE_PLATFORMS)
  set(first reveal dpi cleanup smoke)
  set(rest)
  foreach(script ${QUORVEL_E2E_TESTS})
    get_filename_component(name ${script} NAME_WE)
    string(REPLACE "test_" "" name ${name})
    if(NOT name IN_LIST first)
      list(APPEND rest ${name})
    endif()
  endforeach()
  quorvel_wine_lane(win64 win64 e2e64 wine64 prefix64 ON "${first}")
  quorvel_wine_lane(win64 win64b e2e64 wine64 prefix64b OFF "${rest}")
endif()

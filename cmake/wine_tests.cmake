# Tests that run the Windows build's programs under Wine, in a virtual desktop
# on Xvfb, on two platforms: a 32-bit prefix (like 32-bit Windows; tests
# e2e.*, wine.conformance) and a 64-bit prefix where the 32-bit program runs
# under WoW64 (like 64-bit Windows; tests e2e64.*, wine64.conformance). The
# labels win32 and win64 pick one platform. Each platform's tests share one
# prefix, made once by its prefix test, and run one at a time; the two
# platforms, each with its own prefix and display, may run side by side
# (ctest --parallel 2).
find_package(Python3 COMPONENTS Interpreter REQUIRED)

file(GLOB QUORVEL_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)

function(quorvel_wine_tests arch e2e wine prefix)
  set(fixture wine_prefix_${arch})
  set(env
    QUORVEL_WINDOWS_BUILD_DIR=${QUORVEL_WINDOWS_BUILD_DIR}
    QUORVEL_WINE_ARCH=${arch}
    QUORVEL_WINE_PREFIX=${CMAKE_BINARY_DIR}/wine/${prefix}
    QUORVEL_ARTEFACTS=${CMAKE_SOURCE_DIR}/artefacts)

  add_test(NAME ${e2e}.prefix
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/make_prefix.py)
  set_tests_properties(${e2e}.prefix PROPERTIES FIXTURES_SETUP ${fixture} LABELS "e2e;${arch}"
    ENVIRONMENT "${env}" RESOURCE_LOCK wine_${arch} TIMEOUT 1500)

  add_test(NAME ${wine}.conformance
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/run_conformance.py
            ${QUORVEL_WINDOWS_BUILD_DIR}/quorvel_win32_tests.exe)
  set_tests_properties(${wine}.conformance PROPERTIES FIXTURES_REQUIRED ${fixture}
    LABELS "e2e;wine;${arch}" ENVIRONMENT "${env}" RESOURCE_LOCK wine_${arch} TIMEOUT 300)

  foreach(script ${QUORVEL_E2E_TESTS})
    get_filename_component(name ${script} NAME_WE)
    string(REPLACE "test_" "" name ${name})
    add_test(NAME ${e2e}.${name} COMMAND ${Python3_EXECUTABLE} -m unittest -v ${script})
    set_tests_properties(${e2e}.${name} PROPERTIES FIXTURES_REQUIRED ${fixture}
      LABELS "e2e;${arch}" ENVIRONMENT "${env}" RESOURCE_LOCK wine_${arch} TIMEOUT 600
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
  endforeach()
endfunction()

# Which platforms: both by default. A host build whose Windows build dir holds
# the 64-bit build (the host-wine64 preset, for kernels that run no 32-bit
# programs) runs them in the 64-bit prefix only.
set(QUORVEL_WINE_PLATFORMS "win32;win64" CACHE STRING "Wine prefixes to test in: win32, win64 or both")
if("win32" IN_LIST QUORVEL_WINE_PLATFORMS)
  quorvel_wine_tests(win32 e2e wine prefix)
endif()
if("win64" IN_LIST QUORVEL_WINE_PLATFORMS)
  quorvel_wine_tests(win64 e2e64 wine64 prefix64)
endif()

# Tests that run the Windows build's programs under 32-bit Wine, in a virtual
# desktop on Xvfb. They share one prefix, made once by the e2e.prefix test,
# and run one at a time.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
set(QUORVEL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
set(QUORVEL_WINE_ARCH win32 CACHE STRING "win32: the 32-bit build in a 32-bit prefix; win64: the 64-bit build in a 64-bit prefix")
set(QUORVEL_E2E_ENV
  QUORVEL_WINE_ARCH=${QUORVEL_WINE_ARCH}
  QUORVEL_WINDOWS_BUILD_DIR=${QUORVEL_WINDOWS_BUILD_DIR}
  QUORVEL_WINE_PREFIX=${QUORVEL_WINE_PREFIX}
  QUORVEL_ARTEFACTS=${CMAKE_SOURCE_DIR}/artefacts)

add_test(NAME e2e.prefix COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/make_prefix.py)
set_tests_properties(e2e.prefix PROPERTIES FIXTURES_SETUP wine_prefix LABELS e2e
  ENVIRONMENT "${QUORVEL_E2E_ENV}" RESOURCE_LOCK wine TIMEOUT 600)

add_test(NAME wine.conformance
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/run_in_wine.py
          ${QUORVEL_WINDOWS_BUILD_DIR}/quorvel_win32_tests.exe)
set_tests_properties(wine.conformance PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS "e2e;wine"
  ENVIRONMENT "${QUORVEL_E2E_ENV}" RESOURCE_LOCK wine TIMEOUT 300)

file(GLOB QUORVEL_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(script ${QUORVEL_E2E_TESTS})
  get_filename_component(name ${script} NAME_WE)
  string(REPLACE "test_" "" name ${name})
  add_test(NAME e2e.${name} COMMAND ${Python3_EXECUTABLE} -m unittest -v ${script})
  set_tests_properties(e2e.${name} PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS e2e
    ENVIRONMENT "${QUORVEL_E2E_ENV}" RESOURCE_LOCK wine TIMEOUT 600
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
endforeach()

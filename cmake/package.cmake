# The release package: `cmake --build --preset windows --target package` makes
# quorvel-<version>-win32.zip with quorvel.exe and a README.txt for Windows
# users (with Windows line ends, for Notepad of any age).
configure_file(${CMAKE_SOURCE_DIR}/packaging/README.txt ${CMAKE_BINARY_DIR}/package/README.txt
  @ONLY NEWLINE_STYLE CRLF)
install(TARGETS quorvel RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quorvel)
set(CPACK_PACKAGE_VENDOR Orbrix)
# The 64-bit build, made only to test under 64-bit Wine, is never released;
# its package is named apart all the same.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_PACKAGE_FILE_NAME quorvel-${PROJECT_VERSION}-win64-test)
else()
  set(CPACK_PACKAGE_FILE_NAME quorvel-${PROJECT_VERSION}-win32)
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

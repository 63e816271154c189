# Cross-compiles for 32-bit Windows with MinGW-w64 (i686), with the win32
# thread model: its run time imports nothing that Windows XP SP3 lacks. The
# posix model's thread library (libwinpthread, linked in by its libstdc++)
# imports KERNEL32!GetTickCount64, which Windows has only from Vista on, and
# the loader refuses to start a program with an import it cannot resolve.
# The win32 model has no std::thread or std::mutex; the program has one
# thread, and GoogleTest gets its one use of std::mutex from
# tests/win32/gtest_port (see cmake/windows.cmake). Everything is linked
# statically, so no DLL but the system's own is needed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

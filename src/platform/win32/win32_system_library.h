// The libraries the program loads itself come from the system folder, never
// from a file of the same name beside the program (a Downloads folder, say).
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// Takes the program's own folder and the current folder out of the places
// Windows searches for a library, where it can (Windows 8, or 7 with the
// update that brought SetDefaultDllDirectories); true when it did. The
// program's first act, before any library is loaded.
bool SearchSystemFolderForLibraries();

// How a library of the system folder is asked for: by its name with the
// system folder as the only place to look, where Windows knows that flag,
// else by its full name in the system folder.
enum class SystemLibraryWay { SearchFlag, FullName };
SystemLibraryWay SystemLibraryWayHere();

// A library of the system folder, loaded (or its count raised); null when
// there is none.
HMODULE LoadSystemLibrary(const char* name, SystemLibraryWay way = SystemLibraryWayHere());

}  // namespace quorvel::win32

#include "platform/win32/win32_system_library.h"

#include "platform/win32/look_up.h"

namespace quorvel::win32 {

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// Looked up, not imported: Windows 7 has it only with KB2533623, Vista and
// XP not at all, and an import would keep the program from starting there.
SetDefaultDllDirectoriesFn SetDefaultDllDirectoriesFunction() {
    static const auto function = LookUp<SetDefaultDllDirectoriesFn>(
        GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    return function;
}

}  // namespace

bool SearchSystemFolderForLibraries() {
    // "Dynamic-Link Library Search Order": a library asked for by name is
    // looked for in the program's folder before the system folder, unless
    // it is a known DLL. "SetDefaultDllDirectories": with
    // LOAD_LIBRARY_SEARCH_SYSTEM32 the process's later loads by name
    // (LoadLibrary, LoadLibraryEx without a search flag) look in the system
    // folder alone.
    SetDefaultDllDirectoriesFn set = SetDefaultDllDirectoriesFunction();
    return set != nullptr && set(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

SystemLibraryWay SystemLibraryWayHere() {
    // "LoadLibraryEx": the LOAD_LIBRARY_SEARCH flags come with
    // SetDefaultDllDirectories; without it they fail with
    // ERROR_INVALID_PARAMETER.
    return SetDefaultDllDirectoriesFunction() != nullptr ? SystemLibraryWay::SearchFlag
                                                         : SystemLibraryWay::FullName;
}

HMODULE LoadSystemLibrary(const char* name, SystemLibraryWay way) {
    if (way == SystemLibraryWay::SearchFlag) {
        return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH) return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return LoadLibraryA(path);
}

}  // namespace quorvel::win32

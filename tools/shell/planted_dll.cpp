// A library named after a system one (built as dwmapi.dll) for the Wine tests
// to put beside a copy of quorvel.exe, where a file left in a Downloads folder
// would be. Loaded into a process, it appends that process's file name to
// "planted-dll-loaded.txt" in its own folder; it does nothing else, and has
// none of the functions of the library it is named after.
#include <windows.h>

namespace {

void NoteLoad(HINSTANCE self) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    char* name = path + length;
    while (name > path && name[-1] != '\\' && name[-1] != '/') --name;
    const char marker[] = "planted-dll-loaded.txt";
    if (static_cast<DWORD>(name - path) + sizeof marker > MAX_PATH) return;
    lstrcpyA(name, marker);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    char line[MAX_PATH + 2] = {};
    DWORD lineLength = GetModuleFileNameA(nullptr, line, MAX_PATH);
    line[lineLength++] = '\r';
    line[lineLength++] = '\n';
    DWORD written = 0;
    WriteFile(file, line, lineLength, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) NoteLoad(self);
    return TRUE;
}

#include "platform/entry.h"

#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_system_library.h"

namespace quorvel::platform {

int RunProgram(const std::function<void(Runtime&)>& program) {
    // Before anything of the program loads a library.
    win32::SearchSystemFolderForLibraries();
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    program(runtime);
    // Never returns: WM_QUIT ends the program through its own exit, which
    // ends the process with the program's objects still in place.
    runtime.RunMessageLoop();
}

}  // namespace quorvel::platform

#include "platform/entry.h"

#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_system_library.h"

namespace quorvel::platform {

int RunProgram(const std::function<void(Runtime&)>& program) {
    // Before anything of the program loads a library.
    win32::SearchSystemFolderForLibraries();
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    program(runtime);
    return runtime.RunMessageLoop();
}

}  // namespace quorvel::platform

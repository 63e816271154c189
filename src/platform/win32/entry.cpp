#include "platform/entry.h"

#include "platform/win32/win32_runtime.h"

namespace quorvel::platform {

int RunProgram(const std::function<void(Runtime&)>& program) {
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    program(runtime);
    return runtime.RunMessageLoop();
}

}  // namespace quorvel::platform

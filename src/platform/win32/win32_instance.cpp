#include "platform/win32/win32_instance.h"

#include "platform/instance.h"

namespace quorvel::win32 {

bool ClaimInstance(const char* name, KernelHandle& holder) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    DWORD error = GetLastError();  // read before anything else can change it
    holder.Reset(mutex);
    return platform::AnotherInstanceHolds(mutex != nullptr, error);
}

}  // namespace quorvel::win32

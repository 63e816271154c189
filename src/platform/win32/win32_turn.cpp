#include "platform/win32/win32_turn.h"

namespace quorvel::win32 {

bool Turn::Take() {
    if (held_) return true;  // owned once: one ReleaseMutex gives it back
    if (!mutex_) mutex_.Reset(CreateMutexA(nullptr, FALSE, kTurnName));
    if (!mutex_) return true;  // nothing to take turns with
    // WAIT_ABANDONED: the start that held it ended without giving it back.
    const DWORD got = WaitForSingleObject(mutex_.get(), 0);
    held_ = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
    return held_;
}

void Turn::End() {
    if (held_) ReleaseMutex(mutex_.get());
    held_ = false;
}

}  // namespace quorvel::win32
